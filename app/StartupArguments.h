#pragma once

#include <QString>
#include <QStringList>

class Prompter;
class frmMain;

// The command line of `kestrel`, as desktop programs take it: nothing, one
// folder, one archive (.lzh, .zip, .cab by the Extract command's extension
// rule), --help or --version. Reading it needs no application object, so the
// two options print and end before any window exists.
class StartupArguments {
public:
    enum class Kind { None, Folder, Archive, Help, Version, Missing, Unreadable, Usage };

    static StartupArguments parse(const QStringList& arguments);

    Kind kind() const { return kind_; }
    // The absolute, clean path of the folder or archive (also of a missing one).
    QString path() const { return path_; }

    // What --help and --version print; the text for a usage mistake.
    static QString helpText();
    static QString versionText();
    QString usageMistake() const { return mistake_; }

    // Once the main window is up: chooses the folder, opens the archive, or
    // reports a path that cannot be used (the window then stays as without one).
    void apply(frmMain& window, Prompter& prompter) const;

    // Chooses `folder` in the tree, lists it and names it in the titles.
    static void openFolder(frmMain& window, const QString& folder);
    // Opens the archive viewer on `archive` in front of the main window, which
    // shows the archive's folder behind it. Until the viewer exists the
    // archive's folder is all that opens.
    static void openArchive(frmMain& window, const QString& archive);

    // True when the path's extension is one the Extract command opens.
    static bool isArchiveName(const QString& path);

private:
    Kind kind_ = Kind::None;
    QString path_;
    QString mistake_;
};
