#pragma once

#include <QString>

// The CAB library's command line for compression:
//   -a -r [-mz |-ml:LEVEL ][-v:SIZE ]"ARCHIVE" ["BASE/" ]"TARGET"
// where TARGET is one target or "@" + a list file's path.
class CabCommandBuilder {
public:
    struct Options {
        bool lzx = false;          // optCabMethod: 0 MSZIP "-mz ", 1 LZX "-ml:LEVEL "
        int lzxLevel = 15;         // sldCabLZXLevel, 15 to 21
        bool multiVolume = false;  // chkCabMulti: "-v:SIZE "
        QString volumeSize;        // txtCabMultiSize, in KB, as typed
    };

    // False when the multi-volume size is asked for but is not a number.
    static bool volumeSizeIsValid(const Options& options);

    // The file a multi-volume command writes first: the archive's folder, its
    // name without the last extension, "1.cab" (x.cab gives x1.cab), as the
    // CAB library names the cabinets of a set.
    static QString firstVolume(const QString& archive);

    static QString commandLine(const Options& options, const QString& archive, const QString& base,
                               const QString& target);
};
