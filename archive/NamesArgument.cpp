#include "archive/NamesArgument.h"

#include "archive/ViewerSteps.h"

bool NamesArgument::set(const QStringList& names)
{
    list_.remove();
    if (names.size() == 1 && !needsListFile(names.first())) {
        text_ = ViewerSteps::quoted(names.first());
        return true;
    }
    if (!list_.write(names))
        return false;
    text_ = ViewerSteps::quoted(list_.argument());
    return true;
}

bool NamesArgument::needsListFile(const QString& name)
{
    return name.contains(QLatin1Char('"')) || name.startsWith(QLatin1Char('@'));
}
