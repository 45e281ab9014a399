// The file access libmspack works through: plain stdio, except that its messages
// ("WARNING; ...", "ERROR; ...") are collected for the caller's report instead of
// being printed on the program's stderr.
#ifndef KESTREL_CAB_IO_SYSTEM_H
#define KESTREL_CAB_IO_SYSTEM_H

#include <mspack.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kestrel::arc::cab {

class CabIoSystem {
public:
    CabIoSystem();
    CabIoSystem(const CabIoSystem&) = delete;
    CabIoSystem& operator=(const CabIoSystem&) = delete;

    mspack_system* system() { return &wrapper_.sys; }
    // Messages since the last call, then forgotten.
    std::vector<std::string> takeMessages();
    // Called with the size of every write to an output file; returning false
    // fails that write, which stops the extraction in progress.
    void setWriteObserver(std::function<bool(size_t)> observer) { observer_ = std::move(observer); }

private:
    // libmspack hands the system pointer back to open() and alloc(); the struct
    // starts with it so that the owner can be found again.
    struct Wrapper {
        mspack_system sys;
        CabIoSystem* owner;
    };

    static mspack_file* open(mspack_system* self, const char* filename, int mode);
    static void close(mspack_file* file);
    static int read(mspack_file* file, void* buffer, int bytes);
    static int write(mspack_file* file, void* buffer, int bytes);
    static int seek(mspack_file* file, off_t offset, int mode);
    static off_t tell(mspack_file* file);
    static void message(mspack_file* file, const char* format, ...);
    static void* alloc(mspack_system* self, size_t bytes);
    static void free(void* ptr);
    static void copy(void* src, void* dest, size_t bytes);

    Wrapper wrapper_;
    std::vector<std::string> messages_;
    std::function<bool(size_t)> observer_;
};

}  // namespace kestrel::arc::cab

#endif
