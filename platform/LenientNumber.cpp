#include "platform/LenientNumber.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the characters that never count, as plain ASCII; anything
// outside ASCII cannot belong to a number and ends the run anyway.
std::string squeezed(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        out.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
    }
    return out;
}

// Length of the longest leading run of `s` that is a decimal number.
size_t numberRun(const std::string& s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        size_t fraction = 0;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const size_t start = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j > start)
            i = j;
    }
    return i;
}

} // namespace

double LenientNumber::parse(const QString& text)
{
    const std::string s = squeezed(text);
    const size_t run = numberRun(s);
    if (run == 0)
        return 0.0;
    // The run has been checked to be a plain decimal number. strtod follows
    // LC_NUMERIC, so its "." is swapped for the locale's point when that differs.
    std::string number = s.substr(0, run);
    const char point = *std::localeconv()->decimal_point;
    if (point != '.')
        for (char& ch : number)
            if (ch == '.')
                ch = point;
    return std::strtod(number.c_str(), nullptr);
}

bool LenientNumber::isNumber(const QString& text)
{
    // Only the ends are blank-trimmed: a blank inside splits the number.
    QString inner = text;
    while (!inner.isEmpty() && (inner.front() == u' ' || inner.front() == u'\t'))
        inner.remove(0, 1);
    while (!inner.isEmpty() && (inner.back() == u' ' || inner.back() == u'\t'))
        inner.chop(1);
    for (const QChar ch : inner)
        if (ch == u' ' || ch == u'\t' || ch == u'\n')
            return false;
    const std::string s = squeezed(inner);
    return !s.empty() && numberRun(s) == s.size();
}
