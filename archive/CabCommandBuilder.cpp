#include "archive/CabCommandBuilder.h"

#include "archive/QuotedArguments.h"
#include "platform/LenientNumber.h"

bool CabCommandBuilder::volumeSizeIsValid(const Options& options)
{
    return !options.multiVolume || LenientNumber::isNumber(options.volumeSize);
}

QString CabCommandBuilder::firstVolume(const QString& archive)
{
    const qsizetype slash = archive.lastIndexOf(u'/');
    const QString folder = archive.left(slash + 1);
    QString name = archive.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return folder + name + QStringLiteral("1.cab");
}

QString CabCommandBuilder::commandLine(const Options& options, const QString& archive,
                                       const QString& base, const QString& target)
{
    QString line = QStringLiteral("-a -r ");
    if (options.lzx)
        line += QStringLiteral("-ml:%1 ").arg(options.lzxLevel);
    else
        line += QStringLiteral("-mz ");
    if (options.multiVolume)
        line += QStringLiteral("-v:") + options.volumeSize + u' ';
    return line + QuotedArguments::of(archive, base, target);
}
