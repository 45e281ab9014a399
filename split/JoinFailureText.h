#pragma once

#include <QString>

// The reasons that Join gives for a failed read or write, in the words of the
// program's messages rather than the C library's English ones.
namespace JoinFailureText {

// One line for an errno value ("ディスクの空き容量が足りません。").
QString reason(int error);

// The message for a file that could not be read, written or joined:
// `what` is a whole sentence naming the file, `error` the errno.
QString message(const QString& what, int error);

} // namespace JoinFailureText
