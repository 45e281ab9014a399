#pragma once

#include <QString>

// The title of every message box of Divide: the application's title. Kept here because
// split/ sits below the application and does not include it.
inline QString divideTitle()
{
    return QStringLiteral("Kestrel");
}
