#include "app/ShellCommands.h"

#include "app/Module1.h"
#include "browse/BrowseHost.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "browse/GetNewFolderName.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString ShellCommands::NoProvisionalNameMessage = QStringLiteral("仮のﾌｫﾙﾀﾞ名を付けられません");
const QString ShellCommands::FolderNamePrompt = QStringLiteral("フォルダ名を入力して下さい｡");
const QString ShellCommands::InvalidNameMessage =
    QStringLiteral("ﾌｫﾙﾀﾞ名に使えない名前です｡\n\"/\" を含まない名前を入力して下さい｡");
const QString ShellCommands::NameTakenMessage =
    QStringLiteral("同じ名前のﾌｧｲﾙまたはﾌｫﾙﾀﾞがすでにあります｡");

void ShellCommands::UpOneFolder()
{
    FolderTree* tree = host_.folderTree();
    QTreeWidgetItem* node = tree->currentItem();
    if (node && node->parent())
        tree->chooseNode(node->parent());
    tree->tvTreeView_Refresh();
}

bool ShellCommands::isValidName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
    return QFile::encodeName(name).size() <= 255;
}

QString ShellCommands::chooseName(const QString& path)
{
    const QString name = GetNewFolderName(path);
    if (!name.isEmpty())
        return name;

    Prompter& prompter = host_.prompter();
    prompter.message(NoProvisionalNameMessage, Prompter::Buttons::Ok, Prompter::Icon::Exclamation,
                     Module1::AppTitle);
    const std::optional<QString> typed = prompter.input(FolderNamePrompt, Module1::AppTitle, QString());
    // A cancelled box, or OK on an empty one, is the user changing their mind.
    if (!typed || typed->isEmpty())
        return {};
    if (!isValidName(*typed)) {
        prompter.message(InvalidNameMessage, Prompter::Buttons::Ok, Prompter::Icon::Exclamation,
                         Module1::AppTitle);
        return {};
    }
    if (QFileInfo(path + *typed).exists() || QFileInfo(path + *typed).isSymLink()) {
        prompter.message(NameTakenMessage, Prompter::Buttons::Ok, Prompter::Icon::Exclamation,
                         Module1::AppTitle);
        return {};
    }
    return *typed;
}

bool ShellCommands::NewFolder()
{
    // Before a folder is chosen there is nowhere to create one.
    const QString path = host_.Path();
    if (path.isEmpty())
        return false;

    const QString name = chooseName(path);
    if (name.isEmpty())
        return false;

    // A folder that cannot be created (read-only medium, no permission) is
    // not reported; the tree and the list are read again all the same.
    const bool created = QDir().mkdir(path + name);

    FolderTree* tree = host_.folderTree();
    tree->tvTreeView_Refresh();
    if (QTreeWidgetItem* node = tree->nodeByKey(host_.Path()))
        tree->chooseNode(node);

    FileListView* list = host_.fileList();
    list->setFocus();
    if (created && host_.Path() == path) {
        const QString key = path + name;
        list->selectOnly(key);
        list->startLabelEdit(key);
    }
    return true;
}

void ShellCommands::ArrangeIcons()
{
    FileListView* list = host_.fileList();
    list->clear();
    list->ListFolder(host_.Path());
}

void ShellCommands::Refresh()
{
    host_.folderTree()->tvTreeView_Refresh();
    ArrangeIcons();
}
