#include "LzhEncoder.h"

#include "BitWriter.h"
#include "BlockEncoder.h"
#include "LazyParser.h"
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
    Impl(LzhMethod method, Sink sink, LzhEffort effort)
        : out(std::move(sink)), blocks(dictionaryBits(method), out)
    {
        if (effort == LzhEffort::Best)
            parser = std::make_unique<OptimalParser>(dictionaryBits(method), blocks);
        else
            parser = std::make_unique<LazyParser>(dictionaryBits(method), blocks);
    }

    BitWriter out;
    BlockEncoder blocks;
    std::unique_ptr<Parser> parser;
    uint64_t bytesIn = 0;
    bool finished = false;
};

LzhEncoder::LzhEncoder(LzhMethod method, Sink sink, LzhEffort effort)
    : impl_(std::make_unique<Impl>(method, std::move(sink), effort))
{
}

LzhEncoder::~LzhEncoder() = default;

bool LzhEncoder::write(const uint8_t* data, size_t size)
{
    Impl& d = *impl_;
    if (d.finished || d.out.failed())
        return false;
    d.parser->feed(data, size);
    d.bytesIn += size;
    return !d.out.failed();
}

bool LzhEncoder::finish()
{
    Impl& d = *impl_;
    if (d.finished || d.out.failed())
        return false;
    d.finished = true;
    d.parser->finish();
    d.blocks.flush();
    return d.out.finish();
}

bool LzhEncoder::incompressibleSoFar() const
{
    constexpr uint64_t kSample = uint64_t{1} << 20;
    const uint64_t coded = impl_->blocks.bytesCoded();
    return coded >= kSample && impl_->out.bytesProduced() * 1000 >= coded * 995;
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
