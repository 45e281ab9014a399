#include "archive/ListFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

ListFile::~ListFile()
{
    remove();
}

bool ListFile::write(const QStringList& names)
{
    remove();
    // QTemporaryFile creates the file exclusively with owner-only rights.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/KesXXXXXX.tmp"));
    file.setAutoRemove(false);
    if (!file.open())
        return false;
    QByteArray text;
    for (const QString& name : names)
        text += '"' + name.toUtf8() + "\"\r\n";
    const bool written = file.write(text) == text.size() && file.flush();
    const QString path = file.fileName();
    file.close();
    if (!written) {
        QFile::remove(path);
        return false;
    }
    path_ = path;
    return true;
}

void ListFile::remove()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
    path_.clear();
}
