#pragma once

#include <QString>

// Why a file could not be read or written, in the words of the program's
// messages rather than the C library's English ones.
namespace FailureReason {

// One sentence for an errno value ("ディスクの空き容量が足りません。").
QString forErrno(int error);

// The message for a file that could not be read, written or joined: `what`
// is a whole sentence naming the file, then the reason on a line of its own.
QString message(const QString& what, int error);

} // namespace FailureReason
