#pragma once

#include "archive/ListFile.h"

#include <QString>

// One entry name (or file path) as an argument of a library command line.
// Most names go inside double quotes. A name the command line cannot carry
// goes through an "@" list file of that one name instead: one holding a double
// quote (the parser would take it for the end of the argument) and one starting
// with "@" (the library would read it as a list file's path). The list file
// lives as long as this object.
class EntryArgument {
public:
    // False (nothing written) when the list file could not be made.
    bool set(const QString& name);

    // The argument, quotes included: `"name"` or `"@path"`.
    const QString& text() const { return text_; }

    // True when `name` cannot stand inside quotes on a command line.
    static bool needsListFile(const QString& name);

private:
    ListFile list_;
    QString text_;
};
