#include "archive/LhaCommandBuilder.h"

#include "archive/QuotedArguments.h"

QString LhaCommandBuilder::levelSwitch(int level)
{
    switch (level) {
    case 5: return QStringLiteral("-jm2 ");
    case 6: return QStringLiteral("-jm3 ");
    case 7: return QStringLiteral("-jm4 ");
    }
    return {};
}

QString LhaCommandBuilder::commandLine(const Options& options, const QString& archive,
                                       const QString& base, const QString& target)
{
    QString line = QStringLiteral("a ");
    if (options.storeFolders)
        line += QStringLiteral("-x1 -r2 ");
    if (options.storeAttributes)
        line += QStringLiteral("-a2 ");
    line += levelSwitch(options.level);
    return line + QuotedArguments::of(archive, base, target);
}
