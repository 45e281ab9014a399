#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>

// A small stand-in for the system registry, per user. Every key is a folder
// under the root (…/registry/HKEY_LOCAL_MACHINE/SOFTWARE/…); the values of a key
// live together in the file ".values" inside its folder, rewritten whole and
// atomically on every change (temporary file, fsync, rename), so a crash leaves
// either the old or the new file, never a torn one. A file that cannot be read
// or parsed reads as "value missing".
//
// The interface keeps the registry's shape: 32-bit key handles (0 = none) and
// status codes (0 = success) instead of exceptions.
class SettingsStore {
public:
    using Handle = std::uint32_t;

    // Status codes, numbered as the registry numbers them.
    enum Status : long {
        Success = 0,
        FileNotFound = 2,
        AccessDenied = 5,
        InvalidHandle = 6,
        InvalidParameter = 87,
        MoreData = 234,
    };

    // `root` is the folder that holds the hive folders; tests point it at a
    // temporary folder.
    explicit SettingsStore(QString root = defaultRoot());

    // $XDG_CONFIG_HOME/kestrel/registry
    static QString defaultRoot();

    const QString& root() const { return root_; }

    // `path` names the key from its hive, components separated by "\"
    // (HKEY_LOCAL_MACHINE\SOFTWARE\BRAMBLE\Kestrel\Settings). createKey makes
    // missing keys on the way; openKey only opens an existing key. 0 on failure.
    Handle createKey(const QString& path);
    Handle openKey(const QString& path);
    long closeKey(Handle key);

    // Stores `data` (for a REG_SZ value: the text and its closing NUL).
    long setValue(Handle key, const QString& name, const QByteArray& data);
    // Makes what setValue wrote durable, including the folder entry.
    long flushKey(Handle key);
    // Copies the value into `data` when it has at most `capacity` bytes
    // (MoreData otherwise, FileNotFound when it does not exist).
    long queryValue(Handle key, const QString& name, QByteArray& data, int capacity) const;

private:
    // The key's folder, or empty when the path is not a valid key path.
    QString keyFolder(const QString& path) const;
    Handle issueHandle(const QString& folder);

    QString root_;
    QHash<Handle, QString> open_;
    Handle nextHandle_ = 1;
};
