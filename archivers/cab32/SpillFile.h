// An unnamed scratch file in a given folder that holds one cabinet's data blocks
// until the cabinet's header can be written in front of them. It lives on the
// disk that will receive the cabinet, so memory stays small whatever the size.
#ifndef KESTREL_CAB_SPILL_FILE_H
#define KESTREL_CAB_SPILL_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel::arc {
class AtomicFile;
}

namespace kestrel::arc::cab {

class SpillFile {
public:
    SpillFile() = default;
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    // Creates the file in `folder` and unlinks it at once. False, errno set, on failure.
    bool open(const std::string& folder);
    bool write(const uint8_t* data, size_t size);
    uint64_t size() const { return size_; }
    // Appends everything written since the last reset to `out`, then empties the file.
    bool moveTo(AtomicFile& out);

private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

}  // namespace kestrel::arc::cab

#endif
