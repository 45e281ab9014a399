#pragma once

#include <QString>
#include <QStringList>

// The "@" list file handed to a library: a new private file (mode 0600) in the
// temporary folder whose name starts with "Kes", one `"name"` line per name,
// each ended by CR LF, in UTF-8. It is removed when this object goes, however
// the call that used it ended.
class ListFile {
public:
    ListFile() = default;
    ~ListFile();
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;

    // Creates the file with these names; false (with nothing left behind) when
    // it cannot be written.
    bool write(const QStringList& names);

    // The file's path, empty before write() succeeded.
    QString path() const { return path_; }
    // The argument that names it on a command line: "@" + path.
    QString argument() const { return QStringLiteral("@") + path_; }

    // Removes the file now (the destructor does it otherwise).
    void remove();

private:
    QString path_;
};
