#include "platform/DotlessMimeNames.h"

#include <QMimeDatabase>

namespace {

bool hasWildcard(const QString& glob)
{
    static const QRegularExpression wildcard(QStringLiteral("[*?\\[]"));
    return glob.contains(wildcard);
}

}  // namespace

DotlessMimeNames::DotlessMimeNames(const QMimeDatabase& db)
{
    for (const QMimeType& type : db.allMimeTypes()) {
        for (const QString& glob : type.globPatterns()) {
            if (glob.contains(QLatin1Char('.')))
                continue;  // cannot match a name without a dot
            if (hasWildcard(glob))
                patterns_.append(Pattern(glob, type.name()));
            else
                literals_.insert(glob.toLower(), type.name());
        }
    }
}

QString DotlessMimeNames::mimeName(const QString& name) const
{
    const QString literal = literals_.value(name.toLower());
    if (!literal.isEmpty())
        return literal;
    for (const Pattern& p : patterns_)
        if (p.matches(name))
            return p.mime;
    return QStringLiteral("application/octet-stream");
}

DotlessMimeNames::Pattern::Pattern(const QString& glob, const QString& mimeName) : mime(mimeName)
{
    const bool plainInner = !hasWildcard(glob.mid(1, glob.size() - 2));
    if (glob.startsWith(QLatin1Char('*')) && plainInner && !glob.endsWith(QLatin1Char('*')))
        suffix = glob.mid(1);
    else if (glob.endsWith(QLatin1Char('*')) && plainInner && !glob.startsWith(QLatin1Char('*')))
        prefix = glob.chopped(1);
    else
        expression = QRegularExpression(QRegularExpression::wildcardToRegularExpression(glob),
                                        QRegularExpression::CaseInsensitiveOption);
}

bool DotlessMimeNames::Pattern::matches(const QString& name) const
{
    if (!suffix.isEmpty())
        return name.endsWith(suffix, Qt::CaseInsensitive);
    if (!prefix.isEmpty())
        return name.startsWith(prefix, Qt::CaseInsensitive);
    return expression.match(name).hasMatch();
}
