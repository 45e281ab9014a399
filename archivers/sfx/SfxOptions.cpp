#include "SfxOptions.h"

namespace kestrel::sfx {

SfxOptions SfxOptions::parse(int argc, char** argv) {
    SfxOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-l") {
            o.list = true;
        } else if (a == "-o") {
            o.overwrite = true;
        } else if (a == "-q") {
            o.quiet = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "-d" && i + 1 < argc) {
            o.dest = argv[++i];
        } else if (a.rfind("-d", 0) == 0 && a.size() > 2) {
            o.dest = a.substr(2);
        } else {
            o.error = "不明な引数です: " + a;
        }
    }
    if (o.dest.empty()) o.error = "展開先が空です";
    return o;
}

}  // namespace kestrel::sfx
