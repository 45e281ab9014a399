#pragma once

#include <QString>

// The tail every compression command line ends with: the archive, the base
// folder when there is one, and the target, each in double quotes, separated
// by one space.
class QuotedArguments {
public:
    static QString of(const QString& archive, const QString& base, const QString& target);

    // `"text"`.
    static QString quoted(const QString& text);

    // True when `text` can stand inside "..." on a command line: the libraries'
    // parser has no escape for a double quote.
    static bool canQuote(const QString& text);
};
