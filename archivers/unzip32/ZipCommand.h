// Running one UnZip command line.
//
// A command line is options, then quoted arguments:
//
//   -x "ARCHIVE" "DEST/" "NAME" ...   extract the entries NAME ("*.*" = all, wildcards
//                                     allowed, "dir/" = everything below dir) under
//                                     DEST, keeping the archive's folders
//   -x -j ...                         the same, but every file straight into DEST
//   -x -o ...                         replace existing files without asking
//   -t "ARCHIVE" ["NAME" ...]         test: decode every entry and check its CRC,
//                                     writing nothing
//   -l "ARCHIVE" ["NAME" ...]         list the entries into the output buffer
//
// A command letter may stand for the option: x = -x, e = -x -j, t = -t, l = -l.
// Without any of them, -x is meant. "@LIST" among the names reads the names from the
// list file LIST, one per line. Existing files are replaced only when the host says
// so (without a host they are kept); encrypted entries ask the host for a password
// and are skipped without one.
#pragma once

#include <string>

namespace kestrel::zip {

class ZipCommand {
public:
    // Runs `line`, writing the report into `output` (`size` bytes, always terminated).
    // Returns a KA_* result.
    static int run(void* window, const char* line, char* output, unsigned long size);
};

}  // namespace kestrel::zip
