#include "archive/QuotedArguments.h"

QString QuotedArguments::of(const QString& archive, const QString& base, const QString& target)
{
    QString tail = quoted(archive) + u' ';
    if (!base.isEmpty())
        tail += quoted(base) + u' ';
    return tail + quoted(target);
}

QString QuotedArguments::quoted(const QString& text)
{
    return u'"' + text + u'"';
}

bool QuotedArguments::canQuote(const QString& text)
{
    return !text.contains(u'"');
}
