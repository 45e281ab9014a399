#include "app/StartupArguments.h"

#include "app/frmMain.h"
#include "archive/ArchiveState.h"
#include "archive/ExtractCommand.h"
#include "browse/FolderTree.h"
#include "platform/ApplicationTitle.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

StartupArguments StartupArguments::parse(const QStringList& arguments)
{
    StartupArguments result;
    QStringList paths;
    bool optionsEnded = false;
    for (const QString& a : arguments) {
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            result.kind_ = Kind::Help;
            return result;
        } else if (!optionsEnded && (a == QLatin1String("--version") || a == QLatin1String("-v"))) {
            result.kind_ = Kind::Version;
            return result;
        } else if (!optionsEnded && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            result.kind_ = Kind::Usage;
            result.mistake_ = QStringLiteral("kestrel: 不明なオプションです: %1").arg(a);
            return result;
        } else {
            paths << a;
        }
    }
    if (paths.isEmpty())
        return result;
    if (paths.size() > 1) {
        result.kind_ = Kind::Usage;
        result.mistake_ = QStringLiteral("kestrel: 開けるのはフォルダか書庫 1 つだけです");
        return result;
    }
    result.path_ = QDir::cleanPath(QFileInfo(paths.first()).absoluteFilePath());
    const QFileInfo info(result.path_);
    if (!info.exists())
        result.kind_ = Kind::Missing;
    else if (!info.isReadable() || (info.isDir() && !info.isExecutable()))
        result.kind_ = Kind::Unreadable;
    else if (info.isDir())
        result.kind_ = Kind::Folder;
    else if (isArchiveName(result.path_))
        result.kind_ = Kind::Archive;
    else
        // Any other file: its folder opens, the way a file manager shows a file.
        result.kind_ = Kind::Folder, result.path_ = info.absolutePath();
    return result;
}

bool StartupArguments::isArchiveName(const QString& path)
{
    // The Extract command's rule: the text after the last "." of the path, upper-cased.
    const QString extension = ArchiveState::typeOf(path);
    return extension == QLatin1String("LZH") || extension == QLatin1String("ZIP")
        || extension == QLatin1String("CAB");
}

QString StartupArguments::helpText()
{
    return QStringLiteral(
        "使い方: kestrel [フォルダ | 書庫]\n"
        "        kestrel --help | --version\n"
        "\n"
        "  フォルダ       そのフォルダを選んで一覧を表示して起動します\n"
        "  書庫           .lzh .zip .cab の書庫をビューアで開きます\n"
        "  -h, --help     この説明を表示して終了します\n"
        "  -v, --version  バージョンを表示して終了します\n");
}

QString StartupArguments::versionText()
{
    return ApplicationTitle() + QStringLiteral(" " KESTREL_VERSION "\n");
}

void StartupArguments::apply(frmMain& window, Prompter& prompter) const
{
    switch (kind_) {
    case Kind::Folder: openFolder(window, path_); break;
    case Kind::Archive: openArchive(window, path_); break;
    case Kind::Missing:
        prompter.message(QStringLiteral("%1 が見つかりません。").arg(QDir::toNativeSeparators(path_)),
                         Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
        break;
    case Kind::Unreadable:
        prompter.message(QStringLiteral("%1 を読み取れません。").arg(QDir::toNativeSeparators(path_)),
                         Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
        break;
    default: break;
    }
}

void StartupArguments::openFolder(frmMain& window, const QString& folder)
{
    FolderTree* tree = window.tvTreeView;
    tree->setPath(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    // setPath opens the tree down to the folder; choosing its node lists it
    // and names it in the titles, as a click on it would.
    tree->chooseNode(tree->nodeByKey(window.Path()));
}

void StartupArguments::openArchive(frmMain& window, const QString& archive)
{
    openFolder(window, QFileInfo(archive).absolutePath());
    // The viewer is modal: it opens once the main window has been painted
    // behind it, as if the user had chosen Extract on the archive.
    QTimer::singleShot(0, &window, [&window, archive] {
        ExtractCommand(window, window.archiver(), window.archiveState()).open(archive);
    });
}
