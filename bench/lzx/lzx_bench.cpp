// Compression benchmark for our LZX encoder: size and speed per window on
// each input file, beside wimlib's LZX (2 MiB chunks, one thread) and xz -6.
// With --verify every folder is also decoded by libmspack and compared.
//
//   lzx_bench [--windows 15,18,21] [--verify] [--peers] FILE...

#include "LzxEncoder.h"
#include "TestCabinet.h"

#include <lzma.h>
#include <wimlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Processor time of this thread, not wall time: the machine is often shared,
// and the figures should describe the coder, not the neighbours.
struct Clock {
    using time_point = std::chrono::duration<double>;
    static time_point now()
    {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point(double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9);
    }
};

struct Result {
    size_t bytes;
    double seconds;
};

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Result ours(const std::vector<uint8_t>& data, int bits, bool verify, bool* verified)
{
    const auto t0 = Clock::now();
    const CompressedFolder folder = compressFolder(data, bits);
    const double s = (Clock::now() - t0).count();
    if (verify) {
        const auto back = extractWithMspack(buildCabinet(folder, uint32_t(data.size())));
        *verified = back && *back == data;
    }
    // Count the CFDATA headers too: they are part of what a cabinet costs.
    return {folder.totalBytes() + 8 * folder.blocks.size(), s};
}

Result wim(const std::vector<uint8_t>& data)
{
    const size_t chunk = 2097152;
    wimlib_compressor* c = nullptr;
    if (wimlib_create_compressor(WIMLIB_COMPRESSION_TYPE_LZX, chunk, 0, &c) != 0)
        return {0, 0};
    std::vector<uint8_t> out(chunk);
    size_t total = 0;
    const auto t0 = Clock::now();
    for (size_t pos = 0; pos < data.size(); pos += chunk) {
        const size_t n = std::min(chunk, data.size() - pos);
        const size_t got = wimlib_compress(data.data() + pos, n, out.data(), n - 1, c);
        total += got ? got : n; // stored when it does not shrink
    }
    const double s = (Clock::now() - t0).count();
    wimlib_free_compressor(c);
    return {total, s};
}

Result xz(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out(lzma_stream_buffer_bound(data.size()));
    size_t outPos = 0;
    const auto t0 = Clock::now();
    if (lzma_easy_buffer_encode(6, LZMA_CHECK_CRC32, nullptr, data.data(), data.size(), out.data(),
                                &outPos, out.size()) != LZMA_OK)
        return {0, 0};
    return {outPos, (Clock::now() - t0).count()};
}

void print(const std::string& file, const std::string& coder, size_t in, const Result& r,
           const char* note = "")
{
    std::printf("%-12s %-10s %12zu %12zu %7.2f%% %8.2f MB/s %s\n", file.c_str(), coder.c_str(), in, r.bytes,
                100.0 * double(r.bytes) / double(in), double(in) / 1e6 / r.seconds, note);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> windows = {15, 18, 21};
    bool verify = false, peers = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--windows") && i + 1 < argc) {
            windows.clear();
            std::stringstream ss(argv[++i]);
            for (std::string w; std::getline(ss, w, ',');)
                windows.push_back(std::stoi(w));
        } else if (!std::strcmp(argv[i], "--verify")) {
            verify = true;
        } else if (!std::strcmp(argv[i], "--peers")) {
            peers = true;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s [--windows 15,18,21] [--verify] [--peers] FILE...\n", argv[0]);
        return 2;
    }
    std::printf("%-12s %-10s %12s %12s %8s %13s\n", "file", "coder", "input", "output", "ratio", "speed");
    bool allGood = true;
    for (const auto& path : files) {
        const auto data = readFile(path);
        if (data.empty())
            continue;
        const std::string name = path.substr(path.find_last_of('/') + 1);
        for (int w : windows) {
            bool ok = true;
            const Result r = ours(data, w, verify, &ok);
            allGood = allGood && ok;
            print(name, "LZX:" + std::to_string(w), data.size(), r, verify ? (ok ? "verified" : "MISMATCH") : "");
        }
        if (peers) {
            print(name, "wimlib-2M", data.size(), wim(data));
            print(name, "xz -6", data.size(), xz(data));
        }
    }
    return allGood ? 0 : 1;
}
