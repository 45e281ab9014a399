// Makes a self-extracting program from a cabinet: the shared stub followed by the
// cabinet. A member of a set is first gathered into one cabinet, since the stub
// reads a single cabinet.
#ifndef KESTREL_CAB_SFX_MAKER_H
#define KESTREL_CAB_SFX_MAKER_H

#include <string>

#include "Host.h"
#include "OutputBuffer.h"

namespace kestrel::arc::cab {

class CabSfxMaker {
public:
    CabSfxMaker(Host& host, OutputBuffer& out) : host_(host), out_(out) {}

    // Writes DEST + ARCHIVE's stem + ".run". Returns a KestrelResult.
    int run(const std::string& archivePath, const std::string& dest);

    // Where the stub lives: beside this library.
    static std::string stubPath();

private:
    int repack(const std::string& archivePath, const std::string& folder, const std::string& payload);

    Host& host_;
    OutputBuffer& out_;
};

}  // namespace kestrel::arc::cab

#endif
