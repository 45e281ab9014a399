#pragma once

#include "archive/ListFile.h"

#include <QString>
#include <QStringList>

// The entry names (or file paths) a command works on, as one argument of a
// library command line. One name goes inside double quotes, as `"name"`.
// Several names go through an "@" list file in one call: a call per name would
// make the library read (and, for Delete, rewrite) the whole archive once per
// name, which on a few thousand entries takes minutes. A name the command line
// cannot carry goes through the list file too, even alone: one holding a
// double quote (the parser would end the argument there) and one starting with
// "@" (the library would read it as a list file's path). The list file lives
// as long as this object.
class NamesArgument {
public:
    // False (nothing left behind) when the list file could not be made.
    bool set(const QStringList& names);

    // The argument, quotes included: `"name"` or `"@path"`.
    const QString& text() const { return text_; }
    // The list file's path, empty when the names went on the line itself.
    QString listPath() const { return list_.path(); }

    // True when `name` cannot stand inside quotes on a command line.
    static bool needsListFile(const QString& name);

private:
    ListFile list_;
    QString text_;
};
