#include "ZipBuilder.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

namespace kestrel::test {

namespace {

void put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>((v >> 8) & 0xff));
}

void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

std::string stored(const ZipBuilderEntry& e) { return e.deflate ? deflateRaw(e.data) : e.data; }

}  // namespace

std::string deflateRaw(const std::string& data) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, data.size()) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(z.total_out);
    return out;
}

uint32_t crc32Of(const std::string& data) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

ZipBuilder& ZipBuilder::add(ZipBuilderEntry entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

ZipBuilder& ZipBuilder::file(const std::string& name, const std::string& data, bool deflate) {
    ZipBuilderEntry e;
    e.name = name;
    e.data = data;
    e.deflate = deflate;
    e.externalAttributes = 0x20;
    return add(std::move(e));
}

ZipBuilder& ZipBuilder::unixEntry(const std::string& name, const std::string& data, uint32_t mode) {
    ZipBuilderEntry e;
    e.name = name;
    e.data = data;
    e.madeBy = 3;
    e.externalAttributes = mode << 16;
    return add(std::move(e));
}

size_t ZipBuilder::dataOffset(size_t index) const {
    size_t offset = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const ZipBuilderEntry& e = entries_[i];
        offset += 30 + e.name.size() + e.extra.size();
        if (i == index)
            return offset;
        offset += stored(e).size();
    }
    throw std::out_of_range("dataOffset");
}

std::string ZipBuilder::bytes() const {
    std::string out;
    std::string central;
    for (const ZipBuilderEntry& e : entries_) {
        const std::string body = stored(e);
        const uint32_t crc = e.declaredCrc.value_or(crc32Of(e.data));
        const uint32_t size = e.declaredSize.value_or(static_cast<uint32_t>(e.data.size()));
        const uint16_t flags = e.utf8Flag ? 0x0800 : 0;
        const uint16_t method = e.method.value_or(e.deflate ? 8 : 0);
        const uint32_t offset = static_cast<uint32_t>(out.size());

        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, flags);
        put16(out, method);
        put16(out, e.dosTime);
        put16(out, e.dosDate);
        put32(out, crc);
        put32(out, static_cast<uint32_t>(body.size()));
        put32(out, size);
        put16(out, static_cast<uint32_t>(e.name.size()));
        put16(out, static_cast<uint32_t>(e.extra.size()));
        out += e.name + e.extra + body;

        put32(central, 0x02014b50);
        put16(central, static_cast<uint32_t>(e.madeBy) << 8 | 30);
        put16(central, 20);
        put16(central, flags);
        put16(central, method);
        put16(central, e.dosTime);
        put16(central, e.dosDate);
        put32(central, crc);
        put32(central, static_cast<uint32_t>(body.size()));
        put32(central, size);
        put16(central, static_cast<uint32_t>(e.name.size()));
        put16(central, static_cast<uint32_t>(e.extra.size()));
        put16(central, 0);  // comment
        put16(central, 0);  // disk
        put16(central, 0);  // internal attributes
        put32(central, e.externalAttributes);
        put32(central, offset);
        central += e.name + e.extra;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries_.size()));
    put16(out, static_cast<uint32_t>(entries_.size()));
    put32(out, static_cast<uint32_t>(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

std::string ZipBuilder::write(const std::string& path) const {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    const std::string b = bytes();
    f.write(b.data(), static_cast<std::streamsize>(b.size()));
    if (!f)
        throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace kestrel::test
