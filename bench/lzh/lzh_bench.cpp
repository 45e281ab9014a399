// Compresses files with our LZH encoder and prints size and speed.
//   lzh_bench lh5|lh6|lh7 [--best] FILE...
// Output per file: method, input bytes, output bytes, percent, wall seconds,
// CPU seconds. CPU time is the steadier figure on a machine shared with
// other work.
// The compressed stream is only counted, not stored, so disk speed stays out
// of the figures.
#include "LzhEncoder.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <vector>

using kestrel::lzh::LzhEffort;
using kestrel::lzh::LzhEncoder;
using kestrel::lzh::LzhMethod;

namespace {

bool parseMethod(const char* text, LzhMethod& method)
{
    if (!std::strcmp(text, "lh5"))
        method = LzhMethod::Lh5;
    else if (!std::strcmp(text, "lh6"))
        method = LzhMethod::Lh6;
    else if (!std::strcmp(text, "lh7"))
        method = LzhMethod::Lh7;
    else
        return false;
    return true;
}

bool compressFile(LzhMethod method, LzhEffort effort, const char* methodName, const char* path)
{
    FILE* in = std::fopen(path, "rb");
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return false;
    }
    std::vector<uint8_t> buffer(1 << 20);
    LzhEncoder encoder(method, [](const uint8_t*, size_t) { return true; }, effort);
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        encoder.write(buffer.data(), n);
    encoder.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::fclose(in);
    const double in_ = static_cast<double>(encoder.bytesIn());
    const double out = static_cast<double>(encoder.bytesOut());
    std::printf("%s %llu %llu %.2f %.3f %.3f\n", methodName,
                static_cast<unsigned long long>(encoder.bytesIn()),
                static_cast<unsigned long long>(encoder.bytesOut()), in_ > 0 ? 100.0 * out / in_ : 0.0,
                seconds, cpu);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    LzhMethod method;
    if (argc < 3 || !parseMethod(argv[1], method)) {
        std::fprintf(stderr, "usage: %s lh5|lh6|lh7 [--best] FILE...\n", argv[0]);
        return 2;
    }
    int first = 2;
    LzhEffort effort = LzhEffort::Normal;
    if (!std::strcmp(argv[first], "--best")) {
        effort = LzhEffort::Best;
        ++first;
    }
    bool ok = true;
    for (int i = first; i < argc; ++i)
        ok = compressFile(method, effort, argv[1], argv[i]) && ok;
    return ok ? 0 : 1;
}
