#pragma once

#include <QString>

// Why a divide failed, in words for the message box: the errno of the failing call turned into
// a short Japanese sentence (the system's own text for the rare ones).
namespace DivideReason {

QString forErrno(int error);

} // namespace DivideReason
