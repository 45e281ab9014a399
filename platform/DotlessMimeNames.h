#pragma once

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>

class QMimeDatabase;

// The MIME type of a file name without a dot. Such names are common here
// (programs, README, Makefile) and each is an icon cache key of its own, but
// QMimeDatabase compiles its wildcard patterns anew on every lookup, which
// costs more than reading the folder. Only the few patterns that can match a
// name without a dot matter; they are taken once from the database, and the
// answers are the database's own.
class DotlessMimeNames {
public:
    explicit DotlessMimeNames(const QMimeDatabase& db);
    // The MIME type name; "application/octet-stream" when nothing matches.
    QString mimeName(const QString& name) const;

private:
    // A glob, tested as a plain prefix or suffix where it is one ("README*",
    // "*~"), which most are, and as a regular expression otherwise.
    struct Pattern {
        Pattern(const QString& glob, const QString& mimeName);
        bool matches(const QString& name) const;
        QString prefix;
        QString suffix;
        QRegularExpression expression;
        QString mime;
    };

    QHash<QString, QString> literals_;  // lower-cased name -> type
    QList<Pattern> patterns_;
};
