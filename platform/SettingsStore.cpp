#include "platform/SettingsStore.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>

namespace {

const char kValuesFile[] = ".values";
const QByteArray kHeader = "KestrelRegistry 1";

// name -> data; a missing, unreadable or headerless file has no values, and a
// malformed line loses only its own value.
QMap<QString, QByteArray> readValues(const QString& folder)
{
    QMap<QString, QByteArray> values;
    QFile file(folder + QLatin1Char('/') + QLatin1String(kValuesFile));
    if (!file.open(QIODevice::ReadOnly))
        return values;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty() || lines.first() != kHeader)
        return values;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray name = QByteArray::fromPercentEncoding(line.left(eq));
        values.insert(QString::fromUtf8(name), QByteArray::fromPercentEncoding(line.mid(eq + 1)));
    }
    return values;
}

QByteArray serialize(const QMap<QString, QByteArray>& values)
{
    QByteArray out = kHeader + '\n';
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out += it.key().toUtf8().toPercentEncoding() + '=' + it.value().toPercentEncoding() + '\n';
    return out;
}

} // namespace

SettingsStore::SettingsStore(QString root) : root_(std::move(root)) {}

QString SettingsStore::defaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/kestrel/registry");
}

QString SettingsStore::keyFolder(const QString& path) const
{
    const QStringList parts = path.split(QLatin1Char('\\'));
    for (const QString& part : parts) {
        // Components that would leave the root, hide the folder or clash with
        // the values file are not key names here.
        if (part.isEmpty() || part.startsWith(QLatin1Char('.')) || part.contains(QLatin1Char('/'))
            || part.contains(QChar(0)))
            return {};
    }
    return root_ + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

SettingsStore::Handle SettingsStore::issueHandle(const QString& folder)
{
    // Handles are never 0 and never reused while the store lives (wrap-around
    // after four billion keys skips 0 and handles still open).
    while (nextHandle_ == 0 || open_.contains(nextHandle_))
        ++nextHandle_;
    const Handle handle = nextHandle_++;
    open_.insert(handle, folder);
    return handle;
}

SettingsStore::Handle SettingsStore::createKey(const QString& path)
{
    const QString folder = keyFolder(path);
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return 0;
    return issueHandle(folder);
}

SettingsStore::Handle SettingsStore::openKey(const QString& path)
{
    const QString folder = keyFolder(path);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    return issueHandle(folder);
}

long SettingsStore::closeKey(Handle key)
{
    return open_.remove(key) ? Success : InvalidHandle;
}

long SettingsStore::setValue(Handle key, const QString& name, const QByteArray& data)
{
    const auto it = open_.constFind(key);
    if (it == open_.cend())
        return InvalidHandle;
    QMap<QString, QByteArray> values = readValues(*it);
    values.insert(name, data);
    const QString file = *it + QLatin1Char('/') + QLatin1String(kValuesFile);
    return AtomicFile::write(file, serialize(values)) ? Success : AccessDenied;
}

long SettingsStore::flushKey(Handle key)
{
    const auto it = open_.constFind(key);
    if (it == open_.cend())
        return InvalidHandle;
    return AtomicFile::syncFolder(*it) ? Success : AccessDenied;
}

long SettingsStore::queryValue(Handle key, const QString& name, QByteArray& data,
                               int capacity) const
{
    const auto it = open_.constFind(key);
    if (it == open_.cend())
        return InvalidHandle;
    const QMap<QString, QByteArray> values = readValues(*it);
    const auto value = values.constFind(name);
    if (value == values.cend())
        return FileNotFound;
    if (value->size() > capacity)
        return MoreData;
    data = *value;
    return Success;
}
