#pragma once

#include <QString>

// The application title: the main window's caption and the title of every
// message box and input box. Kept down here so every part of the program
// (which all sit above platform/) shares the one text.
inline QString ApplicationTitle()
{
    return QStringLiteral("Kestrel");
}
