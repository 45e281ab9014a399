#pragma once

#include <QString>

// The LZH library's command line for compression:
//   a [-x1 -r2 ][-a2 ][-jm2 |-jm3 |-jm4 ]"ARCHIVE" ["BASE/" ]"TARGET"
// where TARGET is one target or "@" + a list file's path.
class LhaCommandBuilder {
public:
    struct Options {
        bool storeFolders = true;     // chkLhaDir: "-x1 -r2 "
        bool storeAttributes = true;  // chkLhaAttr: "-a2 "
        int level = 5;                // sldLhaLevel: 5 lh5, 6 lh6, 7 lh7
    };

    static QString commandLine(const Options& options, const QString& archive, const QString& base,
                               const QString& target);

private:
    static QString levelSwitch(int level);
};
