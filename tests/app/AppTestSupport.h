#pragma once

#include "app/Module1.h"
#include "app/MainMenus.h"
#include "platform/ClockStatusBar.h"
#include "app/MainToolBar.h"
#include "app/frmMain.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "platform/ScriptedPrompter.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItem>

#include <memory>

// What every window test of the shell needs: settings in a temporary store,
// and helpers to read and write them the way the program does.
struct SettingsSandbox {
    QTemporaryDir root;

    SettingsSandbox()
    {
        QStandardPaths::setTestModeEnabled(true);
        Module1::setSettingsRoot(root.path());
    }

    void write(const QString& name, const QString& value) const
    {
        const auto key = Module1::CreateSettingsKey(QStringLiteral("Settings"));
        Module1::WriteSetting(key, name, value);
        Module1::CloseSettingsKey(key);
    }

    // The stored text, or "<missing>".
    QString read(const QString& name) const
    {
        const auto key = Module1::OpenSettingsKey(QStringLiteral("Settings"));
        if (key == 0)
            return QStringLiteral("<missing>");
        QString value;
        const long status = Module1::ReadSetting(key, name, value);
        Module1::CloseSettingsKey(key);
        return status == 0 ? value : QStringLiteral("<missing>");
    }
};

// Shows only `root` (ending in "/") as the one volume of the tree.
inline void showOnlyVolume(frmMain& window, const QString& root)
{
    window.tvTreeView->setVolumeSource([root] {
        return QList<FolderTree::Volume>{{root, QStringLiteral("Test"), QStringLiteral("drive-harddisk")}};
    });
    window.tvTreeView->tvTreeView_Refresh();
}

inline bool makeFolders(const QString& root, const QStringList& relative)
{
    for (const QString& r : relative)
        if (!QDir().mkpath(root + r))
            return false;
    return true;
}

// The real main window over a temporary folder shown as the only volume, with
// its settings in a sandbox and a scripted Prompter: what a window suite makes
// before each test function and throws away after it.
struct WindowFixture {
    SettingsSandbox box;
    ScriptedPrompter prompter;
    QTemporaryDir files;
    QString root = files.path() + "/";
    std::unique_ptr<frmMain> window;  // destroyed first: it uses all the above

    // Makes these folders under root, then the window.
    bool open(const QStringList& folders = {})
    {
        if (!makeFolders(root, folders))
            return false;
        window = std::make_unique<frmMain>(prompter);
        showOnlyVolume(*window, root);
        return true;
    }

    // Chooses the folder root + relative in the tree as a click would; false
    // when the tree has no node for it.
    bool choose(const QString& relative)
    {
        const QString key = root + relative;
        window->tvTreeView->setPath(key);
        QTreeWidgetItem* node = window->tvTreeView->nodeByKey(key);
        if (node == nullptr)
            return false;
        window->tvTreeView->chooseNode(node);
        return window->Path() == key;
    }
};

// The base of the window suites: a fresh WindowFixture per test function,
// reached through the members the suites use.
class WindowSuite : public QObject {
protected:
    std::unique_ptr<WindowFixture> fixture_;
    SettingsSandbox* box_ = nullptr;
    ScriptedPrompter* prompter_ = nullptr;
    frmMain* w_ = nullptr;
    QString root_;

    // Makes a fresh window over these folders, named by the members above.
    bool makeWindow(const QStringList& folders)
    {
        fixture_ = std::make_unique<WindowFixture>();
        box_ = &fixture_->box;
        prompter_ = &fixture_->prompter;
        root_ = fixture_->root;
        if (!fixture_->open(folders))
            return false;
        w_ = fixture_->window.get();
        return true;
    }

    void choose(const QString& relative)
    {
        QVERIFY2(fixture_->choose(relative), qPrintable(root_ + relative));
    }
};
