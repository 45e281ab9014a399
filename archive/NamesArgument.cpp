#include "archive/NamesArgument.h"

#include "archive/QuotedArguments.h"

bool NamesArgument::set(const QStringList& names)
{
    list_.remove();
    if (names.size() == 1 && !needsListFile(names.first())) {
        text_ = QuotedArguments::quoted(names.first());
        return true;
    }
    if (!list_.write(names))
        return false;
    text_ = QuotedArguments::quoted(list_.argument());
    return true;
}

bool NamesArgument::needsListFile(const QString& name)
{
    return !QuotedArguments::canQuote(name) || name.startsWith(QLatin1Char('@'));
}
