#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's whole content so that a crash at any moment leaves either
// the old content or the new one: the data goes to a temporary file in the
// same folder, is synced, and is renamed over the target.
class AtomicFile {
public:
    static bool write(const QString& path, const QByteArray& data);
    // Syncs the folder itself, which makes a rename inside it durable.
    static bool syncFolder(const QString& folder);
};
