#pragma once

#include <QString>

// Why a folder could not be read, told the way the program's messages tell
// it: a description and a number shown as "<description>: &H<hex number>".
struct ReadFailure {
    int number = 0;
    QString description;
    // The medium is gone, the device does not answer or the server is dead:
    // for a volume this is "not ready".
    bool notReady = false;

    static ReadFailure fromErrno(int error);
    // "パスが見つかりません: &H4C"
    QString message() const;
};
