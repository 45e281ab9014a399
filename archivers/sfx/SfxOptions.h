// The command line of a self-extracting program.
#ifndef KESTREL_SFX_OPTIONS_H
#define KESTREL_SFX_OPTIONS_H

#include <string>

namespace kestrel::sfx {

struct SfxOptions {
    std::string dest = ".";  // -d DIR
    bool list = false;       // -l: list, extract nothing
    bool overwrite = false;  // -o: replace existing files
    bool quiet = false;      // -q: report only problems
    bool help = false;       // -h
    std::string error;       // set when the line cannot be understood

    static SfxOptions parse(int argc, char** argv);
};

}  // namespace kestrel::sfx

#endif
