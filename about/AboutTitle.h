#pragma once

#include <QString>

// The application title that every message box of the About box and the help
// commands carries. The application shell owns the same text; this folder sits
// below the shell and must not include it, so it keeps its own copy.
inline QString AboutTitle()
{
    return QStringLiteral("Kestrel");
}
