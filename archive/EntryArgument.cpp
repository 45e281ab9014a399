#include "archive/EntryArgument.h"

#include "archive/ViewerSteps.h"

bool EntryArgument::set(const QString& name)
{
    list_.remove();
    if (!needsListFile(name)) {
        text_ = ViewerSteps::quoted(name);
        return true;
    }
    if (!list_.write({name}))
        return false;
    text_ = ViewerSteps::quoted(list_.argument());
    return true;
}

bool EntryArgument::needsListFile(const QString& name)
{
    return name.contains(QLatin1Char('"')) || name.startsWith(QLatin1Char('@'));
}
