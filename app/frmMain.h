#pragma once

#include "app/ShellCommands.h"
#include "archive/ArchiveState.h"
#include "app/ToolbarDispatch.h"
#include "browse/CommandHost.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>

class Archiver;
class ClipboardCommands;
class FileListView;
class FolderTree;
class MainMenus;
class ClockStatusBar;
class MainToolBar;
class PaneCommands;
class Prompter;
class QLabel;
class QTimer;
class RenameCommand;
class TrashCommands;

// The main window: toolbar, title strip, folder tree, splitter, file list and
// status bar, with the shared state the commands work on (current path,
// list-click flag, PathList, CopyMode). Its handlers are a line or two each,
// handing the work to the part of the program that owns it.
//
// Lengths given to or read from the layout handlers are twips.
class frmMain : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    explicit frmMain(Prompter& prompter, QWidget* parent = nullptr);
    ~frmMain() override;

    // Controls, named as their objectName.
    MainToolBar* tbToolBar = nullptr;
    QWidget* picTitles = nullptr;
    FolderTree* tvTreeView = nullptr;
    QWidget* imgSplitter = nullptr;
    QWidget* picSplitter = nullptr;
    FileListView* lvListView = nullptr;
    ClockStatusBar* sbStatusBar = nullptr;
    QTimer* TimerForToolBar = nullptr;
    MainMenus* menus() const { return menus_; }
    PaneCommands* paneCommands() const { return paneCommands_; }

    // Shared with the file commands: the collected paths and whether Paste moves them.
    QStringList PathList;
    bool CopyMode = false;

    // BrowseHost
    Prompter& prompter() override { return prompter_; }
    QString Path() const override { return path_; }
    void storePath(const QString& path) override { path_ = path; }
    bool listClicked() const override { return listClicked_; }
    void setListClicked(bool on) override { listClicked_ = on; }
    QLabel* lblTitle(int index) override;
    FolderTree* folderTree() override { return tvTreeView; }
    FileListView* fileList() override { return lvListView; }

    // CommandHost
    QWidget* ownerWindow() override { return this; }
    QStringList& pathList() override { return PathList; }
    bool copyMode() const override { return CopyMode; }
    void setCopyMode(bool on) override { CopyMode = on; }
    void refreshAll() override;
    std::unique_ptr<Progress> makeProgress() override;
    // Tests hand out their own progress reporters; null restores the window.
    void setProgressFactory(std::function<std::unique_ptr<Progress>()> factory)
    {
        progressFactory_ = std::move(factory);
    }

    // The way to the archiver libraries, and the archive path and type that
    // Extract and the viewer share. Tests hand in a recording Archiver.
    Archiver& archiver() { return *archiver_; }
    void setArchiver(std::unique_ptr<Archiver> archiver);
    ArchiveState& archiveState() { return archiveState_; }

    // The trash commands, so tests can point them at a trash of their own.
    TrashCommands& trashCommands() { return *trash_; }

    // Layout.
    void SizeControls(double x);
    bool SplitterMoving() const { return splitterMoving_; }
    double splitterLeft() const;  // the split position
    double windowWidth() const;   // outer width
    double clientHeight() const;
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(double x);  // x: the pointer within the handle
    void imgSplitter_MouseUp();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();

    // Commands.
    void tbToolBar_ButtonClick(const QString& key);
    void mnuListViewMode_Click(int index);
    void SetViewMode(int mode);
    void mnuViewArrangeIcons_Click();
    void mnuViewRefresh_Click();
    void mnuFileClose_Click();
    void mnuEditSelectAll_Click();
    void mnuFileDivide_Click();
    void mnuFileJoin_Click();
    void mnuFileCompress_Click();
    void mnuFileExtract_Click();
    void mnuFileDelete_Click();
    void mnuFileVacume_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();
    void mnuHelpAbout_Click();

    // Start-up and shut-down.
    void TimerForToolBar_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectMenus();
    void fillDispatch();
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void dockBars();
    void restoreViewMenuChecks();
    void unloadOtherWindows();

    Prompter& prompter_;
    MainMenus* menus_ = nullptr;
    PaneCommands* paneCommands_ = nullptr;
    QWidget* client_ = nullptr;
    QLabel* lblTitle_[2] = {};
    ShellCommands commands_;
    std::unique_ptr<ClipboardCommands> clipboard_;
    std::unique_ptr<TrashCommands> trash_;
    std::unique_ptr<RenameCommand> rename_;
    ToolbarDispatch dispatch_;
    QString path_;
    bool listClicked_ = false;
    bool splitterMoving_ = false;
    std::function<std::unique_ptr<Progress>()> progressFactory_;
    std::unique_ptr<Archiver> archiver_;
    ArchiveState archiveState_;
};
