#pragma once

#include <QString>

// Reads a number the forgiving way the stored settings have always been read:
// blanks, tabs and line feeds are ignored wherever they stand, then the longest
// leading run that forms a decimal number (sign, digits, "." and fraction,
// exponent) is taken. "1500abc" reads 1500, text without a number reads 0, and
// the decimal point is "." whatever the locale. Exponents too large for a
// double read as infinity; callers that need a bounded value check for it.
class LenientNumber {
public:
    static double parse(const QString& text);

    // The general number test of the dialogs: true when the whole text, blanks
    // and tabs around it aside, is one decimal number as parse() reads it
    // ("1423", " 1.5 ", "-2", "1e3"); false for "", "14 23", "1423KB", "abc".
    static bool isNumber(const QString& text);
};
