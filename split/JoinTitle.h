#pragma once

#include <QString>

// The title of every message and input box of Join: the application's title.
// Kept here because split/ sits below the application and does not include it.
inline QString joinTitle()
{
    return QStringLiteral("Kestrel");
}
