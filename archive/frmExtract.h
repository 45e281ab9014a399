#pragma once

#include "archive/Archiver.h"
#include "archive/EntryIconKeys.h"
#include "archive/ImageList.h"
#include "archive/ViewerCommands.h"
#include "archive/ViewerHost.h"

#include <QDialog>
#include <functional>

class EntryListModel;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QToolBar;
class QTreeView;
class ClockStatusBar;
struct ArchiveState;

// The archive viewer "解凍": the entries of the archive at the program-wide
// archive path in a report list, with the commands that work on it. Shown
// modally by Extract; it lists the archive when it is made (Form_Load).
//
// Lengths given to or read from the layout methods are twips.
class frmExtract : public QDialog, public ViewerHost {
    Q_OBJECT
public:
    // Menu items, named as their objectName.
    struct Menus {
        QMenu* mnuFile = nullptr;
        QAction* mnuFileAdd = nullptr;
        QAction* mnuFileDelete = nullptr;
        QAction* mnuFileMelt = nullptr;
        QAction* mnuFileSFX = nullptr;
        QAction* mnuFileClose = nullptr;
        QMenu* mnuEdit = nullptr;
        QAction* mnuEditChangeName = nullptr;
        QAction* mnuEditSelectAll = nullptr;
        QAction* mnuEditSelectCancel = nullptr;
        QMenu* mnuView = nullptr;
        QAction* mnuViewToolbar = nullptr;
        QAction* mnuViewStatusBar = nullptr;
    };

    frmExtract(Archiver& archiver, ArchiveState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~frmExtract() override;

    // Controls, named as their objectName.
    QMenuBar* menuBar = nullptr;
    Menus menus;
    QToolBar* tbToolBar = nullptr;
    QWidget* picTitles = nullptr;
    QLabel* lblTitle = nullptr;
    QTreeView* lvListView = nullptr;
    ClockStatusBar* sbStatusBar = nullptr;
    ImageList LargeIconImageList;
    ImageList SmallIconImageList;

    EntryListModel* model() const { return model_; }

    // The toolbar's keys from the left, an empty text for each separator.
    static const QStringList& buttonKeys();
    QAction* toolbarButton(const QString& key) const;

    // Lists the archive, true when at least one entry was listed.
    bool ViewLzhFile();
    bool ViewZipFile();
    bool ViewCabFile();

    // Layout.
    void SizeControls();
    double windowWidth() const;   // outer width
    double clientHeight() const;  // below the menu bar

    // Commands.
    void tbToolBar_ButtonClick(const QString& key);
    void mnuFileMelt_Click();
    void mnuFileAdd_Click();
    void mnuFileDelete_Click();
    void mnuEditChangeName_Click();
    void mnuFileSFX_Click();
    void mnuFileClose_Click();
    void mnuEditSelectAll_Click();
    void mnuEditSelectCancel_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();

    // The progress of the viewer's commands; tests hand in their own.
    void setProgressFactory(std::function<std::unique_ptr<Progress>()> factory)
    {
        progressFactory_ = std::move(factory);
    }

    // ViewerHost
    QString archivePath() const override;
    QString archiveType() const override;
    QStringList selectedEntries() const override;
    QStringList selectedCutEntries() const override;
    int itemCount() const override;
    bool listAgain() override;
    Prompter& prompter() override { return prompter_; }
    QWidget* ownerWindow() override { return this; }
    std::unique_ptr<Progress> makeProgress() override;
    Archiver& archiver() override { return archiver_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createToolBar();
    void Form_Load();
    void Form_Resize();
    void dockBars();
    void disableForType(const QString& type);
    bool view(ArchiverKind kind);
    int iconFor(const QString& iconClass);
    QList<int> selectedRows() const;
    void inform(const QString& text);

    Archiver& archiver_;
    ArchiveState& state_;
    Prompter& prompter_;
    QWidget* previousOwner_ = nullptr;
    QWidget* client_ = nullptr;
    EntryListModel* model_ = nullptr;
    EntryIconKeys iconKeys_;
    QHash<QString, int> iconByType_;  // EntryIconKeys::typeName -> model icon
    ViewerCommands commands_;
    std::function<std::unique_ptr<Progress>()> progressFactory_;
};
