#include "LzhEncoder.h"

#include "BitWriter.h"
#include "BlockEncoder.h"
#include "OptimalParser.h"

#include <utility>

namespace kestrel::lzh {

const char* methodId(LzhMethod method)
{
    switch (method) {
    case LzhMethod::Lh5:
        return "-lh5-";
    case LzhMethod::Lh6:
        return "-lh6-";
    case LzhMethod::Lh7:
        return "-lh7-";
    }
    return "-lh5-";
}

namespace {

unsigned dictionaryBits(LzhMethod method)
{
    switch (method) {
    case LzhMethod::Lh5:
        return 13;
    case LzhMethod::Lh6:
        return 15;
    case LzhMethod::Lh7:
        return 16;
    }
    return 13;
}

}  // namespace

class LzhEncoder::Impl {
public:
    Impl(LzhMethod method, Sink sink)
        : out(std::move(sink)), blocks(dictionaryBits(method), out), parser(dictionaryBits(method), blocks)
    {
    }

    BitWriter out;
    BlockEncoder blocks;
    OptimalParser parser;
    uint64_t bytesIn = 0;
    bool finished = false;
};

LzhEncoder::LzhEncoder(LzhMethod method, Sink sink) : impl_(std::make_unique<Impl>(method, std::move(sink))) {}

LzhEncoder::~LzhEncoder() = default;

bool LzhEncoder::write(const uint8_t* data, size_t size)
{
    Impl& d = *impl_;
    if (d.finished || d.out.failed())
        return false;
    d.parser.feed(data, size);
    d.bytesIn += size;
    return !d.out.failed();
}

bool LzhEncoder::finish()
{
    Impl& d = *impl_;
    if (d.finished || d.out.failed())
        return false;
    d.finished = true;
    d.parser.finish();
    d.blocks.flush();
    return d.out.finish();
}

uint64_t LzhEncoder::bytesIn() const
{
    return impl_->bytesIn;
}

uint64_t LzhEncoder::bytesOut() const
{
    return impl_->out.bytesWritten();
}

}  // namespace kestrel::lzh
