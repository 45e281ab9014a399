#include "app/frmMain.h"

#include "app/AppPictures.h"
#include "app/MainMenus.h"
#include "platform/ClockStatusBar.h"
#include "app/MainToolBar.h"
#include "app/Module1.h"
#include "app/PaneCommands.h"
#include "app/PaneLayout.h"
#include "app/WindowPlacement.h"
#include "about/HelpCommands.h"
#include "about/frmAbout.h"
#include "archive/CompressCommand.h"
#include "archive/ExtractCommand.h"
#include "archive/LibraryArchiver.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "fileops/ClipboardCommands.h"
#include "fileops/RenameCommand.h"
#include "fileops/TrashCommands.h"
#include "split/DivideCommand.h"
#include "split/JoinCommand.h"
#include "platform/ProgressWindow.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <optional>

namespace {

const QString kExitKey = QStringLiteral("終了");
const QString kUpKey = QStringLiteral("1 つ上のﾌｫﾙﾀﾞへ");
const QString kNewFolderKey = QStringLiteral("フォルダ作成");

constexpr double kDesignSplit = 1965;
constexpr double kSplitterWidth = 150;
constexpr double kTitlesHeight = 300;

int px(double twips) { return Twips::toPixelsX(twips); }
int py(double twips) { return Twips::toPixelsY(twips); }
double tx(int pixels) { return Twips::fromPixelsX(pixels); }
double ty(int pixels) { return Twips::fromPixelsY(pixels); }

// Sets those of a control's left, top, width and height (twips) that are given.
void place(QWidget* w, std::optional<double> left, std::optional<double> top,
           std::optional<double> width, std::optional<double> height)
{
    const QRect g = w->geometry();
    w->setGeometry(left ? px(*left) : g.x(), top ? py(*top) : g.y(),
                   width ? px(*width) : g.width(), height ? py(*height) : g.height());
}

QLabel* makeTitle(QWidget* parent, int index, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblTitle_%1").arg(index));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

} // namespace

frmMain::frmMain(Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), commands_(*this),
      clipboard_(std::make_unique<ClipboardCommands>(*this)),
      trash_(std::make_unique<TrashCommands>(*this)),
      rename_(std::make_unique<RenameCommand>(*this)),
      archiver_(std::make_unique<LibraryArchiver>())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Module1::AppTitle);
    setWindowIcon(AppPictures::windowIcon());
    prompter_.setOwner(this);
    createControls();
    connectMenus();
    fillDispatch();
    Form_Load();
}

frmMain::~frmMain()
{
    // The tree and the list reach this window through BrowseHost while they
    // are torn down; they go while it is still whole.
    delete tvTreeView;
    tvTreeView = nullptr;
    delete lvListView;
    lvListView = nullptr;
    if (prompter_.owner() == this)
        prompter_.setOwner(nullptr);
    Module1::forgetMainWindow(this);
}

void frmMain::createControls()
{
    menus_ = new MainMenus(menuBar());

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);

    tbToolBar = new MainToolBar(client_);
    connect(tbToolBar, &MainToolBar::ButtonClick, this, &frmMain::tbToolBar_ButtonClick);

    picTitles = new QWidget(client_);
    picTitles->setObjectName(QStringLiteral("picTitles"));
    picTitles->setFixedHeight(py(kTitlesHeight));
    lblTitle_[0] = makeTitle(picTitles, 0, QStringLiteral(" ﾂﾘｰ ﾋﾞｭｰ:"));
    lblTitle_[1] = makeTitle(picTitles, 1, QStringLiteral(" ﾘｽﾄ ﾋﾞｭｰ:"));
    for (QLabel* label : lblTitle_)
        place(label, std::nullopt, 12, std::nullopt, 270);

    tvTreeView = new FolderTree(*this, client_);

    // The handle lies under the list, so only its part in the gap between
    // the panes can be grabbed.
    imgSplitter = new QWidget(client_);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setCursor(Qt::SizeHorCursor);
    place(imgSplitter, kDesignSplit, std::nullopt, kSplitterWidth, std::nullopt);
    imgSplitter->installEventFilter(this);

    lvListView = new FileListView(*this, client_);
    rename_->attach(*lvListView);

    picSplitter = new QWidget(client_);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAutoFillBackground(true);
    QPalette grey = picSplitter->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    picSplitter->setPalette(grey);
    picSplitter->hide();

    sbStatusBar = new ClockStatusBar(client_);

    TimerForToolBar = new QTimer(this);
    TimerForToolBar->setObjectName(QStringLiteral("TimerForToolBar"));
    TimerForToolBar->setInterval(1);
    connect(TimerForToolBar, &QTimer::timeout, this, &frmMain::TimerForToolBar_Timer);
    TimerForToolBar->start();

    client_->installEventFilter(this);
    paneCommands_ = new PaneCommands(*this, *tvTreeView, *lvListView, *menus_,
                                     [this] { tbToolBar_ButtonClick(kUpKey); });
}

void frmMain::connectMenus()
{
    const auto on = [this](QAction* action, void (frmMain::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    MainMenus& m = *menus_;
    on(m.mnuFileDivide, &frmMain::mnuFileDivide_Click);
    on(m.mnuFileJoin, &frmMain::mnuFileJoin_Click);
    on(m.mnuFileCompress, &frmMain::mnuFileCompress_Click);
    on(m.mnuFileExtract, &frmMain::mnuFileExtract_Click);
    on(m.mnuFileDelete, &frmMain::mnuFileDelete_Click);
    on(m.mnuFileVacume, &frmMain::mnuFileVacume_Click);
    on(m.mnuFileClose, &frmMain::mnuFileClose_Click);
    on(m.mnuEditCut, &frmMain::mnuEditCut_Click);
    on(m.mnuEditCopy, &frmMain::mnuEditCopy_Click);
    on(m.mnuEditPaste, &frmMain::mnuEditPaste_Click);
    on(m.mnuEditSelectAll, &frmMain::mnuEditSelectAll_Click);
    on(m.mnuViewArrangeIcons, &frmMain::mnuViewArrangeIcons_Click);
    on(m.mnuViewRefresh, &frmMain::mnuViewRefresh_Click);
    on(m.mnuHelpContents, &frmMain::mnuHelpContents_Click);
    on(m.mnuHelpSearchForHelpOn, &frmMain::mnuHelpSearchForHelpOn_Click);
    on(m.mnuHelpAbout, &frmMain::mnuHelpAbout_Click);
    // The two bar items toggle their own check when clicked; the handlers
    // follow the new check state.
    connect(m.mnuViewToolbar, &QAction::triggered, this, [this](bool checked) {
        tbToolBar->setVisible(checked);
        dockBars();
        SizeControls(splitterLeft());
    });
    connect(m.mnuViewStatusBar, &QAction::triggered, this, [this](bool checked) {
        sbStatusBar->setVisible(checked);
        dockBars();
        SizeControls(splitterLeft());
    });
    for (int i = 0; i < 4; ++i)
        connect(m.mnuListViewMode[i], &QAction::triggered, this, [this, i] { mnuListViewMode_Click(i); });
}

// ---- Start-up and shut-down ----

void frmMain::Form_Load()
{
    qApp->setProperty("HelpFile", Module1::HelpFile);

    // The tree sets up its own lines, indentation and read-only labels, and
    // its pictures carry their own transparency (no mask colour); the list
    // sets up its own five columns.
    tvTreeView->AddDriveNodes();
    WindowPlacement::restore(*this);
}

void frmMain::TimerForToolBar_Timer()
{
    const int mode = WindowPlacement::storedViewMode();
    lvListView->setView(mode);
    tbToolBar->pressViewButton(mode);
    menus_->checkViewMode(mode);
    TimerForToolBar->stop();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The window system may add the frame only after the window is mapped.
    WindowPlacement::settle(*this, false);
    QTimer::singleShot(0, this, [this] { WindowPlacement::settle(*this, true); });
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        QTimer::singleShot(0, this, [this] { WindowPlacement::settle(*this, true); });
}

void frmMain::Form_Unload()
{
    WindowPlacement::store(*this, lvListView->view());
    unloadOtherWindows();
}

void frmMain::unloadOtherWindows()
{
    // The most recently opened window closes first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget* w = *it;
        if (w != this && w->isVisible() && !qobject_cast<QMenu*>(w))
            w->close();
    }
}

// ---- Layout ----

double frmMain::splitterLeft() const { return tx(imgSplitter->x()); }
double frmMain::windowWidth() const { return tx(frameGeometry().width()); }
double frmMain::clientHeight() const { return ty(client_->height()); }

QLabel* frmMain::lblTitle(int index)
{
    return index == 0 || index == 1 ? lblTitle_[index] : nullptr;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == imgSplitter) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: imgSplitter_MouseDown(); break;
        case QEvent::MouseMove:
            imgSplitter_MouseMove(tx(static_cast<QMouseEvent*>(event)->position().toPoint().x()));
            break;
        case QEvent::MouseButtonRelease: imgSplitter_MouseUp(); break;
        default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Form_Resize()
{
    ToolbarDispatch::ignoringFailures([this] {
        const int minimum = px(PaneLayout::MinimumWindowWidth)
            - (frameGeometry().width() - geometry().width());
        if (minimumWidth() != minimum)
            setMinimumWidth(minimum);
        if (windowWidth() < PaneLayout::MinimumWindowWidth
            && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
            resize(minimum, height());
    });
    ToolbarDispatch::ignoringFailures([this] { dockBars(); });
    ToolbarDispatch::ignoringFailures([this] { SizeControls(splitterLeft()); });
}

void frmMain::dockBars()
{
    const int width = client_->width();
    tbToolBar->setGeometry(0, 0, width, tbToolBar->height());
    const int titlesTop = tbToolBar->isHidden() ? 0 : tbToolBar->height();
    picTitles->setGeometry(0, titlesTop, width, picTitles->height());
    const int statusHeight = sbStatusBar->sizeHint().height();
    sbStatusBar->setGeometry(0, client_->height() - statusHeight, width, statusHeight);
}

void frmMain::SizeControls(double x)
{
    PaneLayout::Input in;
    in.x = x;
    in.windowWidth = windowWidth();
    in.clientHeight = clientHeight();
    in.toolbarVisible = !tbToolBar->isHidden();
    in.toolbarHeight = ty(tbToolBar->height());
    in.titlesTop = ty(picTitles->y());
    in.titlesHeight = ty(picTitles->height());
    in.statusBarVisible = !sbStatusBar->isHidden();
    in.statusBarHeight = ty(sbStatusBar->height());
    const PaneLayout::Result r = PaneLayout::compute(in);

    place(tvTreeView, 0, r.paneTop, r.treeWidth, r.paneHeight);
    place(imgSplitter, r.splitterLeft, r.paneTop, kSplitterWidth, ty(tvTreeView->height()));
    place(lvListView, r.listLeft, r.paneTop, r.listWidth, r.paneHeight);
    place(lblTitle_[0], 0, std::nullopt, r.title0Width, std::nullopt);
    place(lblTitle_[1], r.title1Left, std::nullopt, r.title1Width, std::nullopt);
}

void frmMain::imgSplitter_MouseDown()
{
    const QRect handle = imgSplitter->geometry();
    const double width = tx(handle.width());
    place(picSplitter, tx(handle.x()), ty(handle.y()), static_cast<int>(std::lround(width)) / 2,
          ty(handle.height()) - 20);
    picSplitter->show();
    picSplitter->raise();
    splitterMoving_ = true;
}

void frmMain::imgSplitter_MouseMove(double x)
{
    if (!splitterMoving_)
        return;
    const double p = splitterLeft() + x;
    double left = p;
    if (p < PaneLayout::DragMargin)
        left = PaneLayout::DragMargin;
    else if (p > windowWidth() - PaneLayout::DragMargin)
        left = windowWidth() - PaneLayout::DragMargin;
    place(picSplitter, left, std::nullopt, std::nullopt, std::nullopt);
}

void frmMain::imgSplitter_MouseUp()
{
    // A release without a press on the handle has no drag bar to settle.
    if (!splitterMoving_)
        return;
    SizeControls(tx(picSplitter->x()));
    picSplitter->hide();
    splitterMoving_ = false;
}

void frmMain::mnuViewToolbar_Click() { menus_->mnuViewToolbar->trigger(); }
void frmMain::mnuViewStatusBar_Click() { menus_->mnuViewStatusBar->trigger(); }

// ---- Commands ----

void frmMain::fillDispatch()
{
    // A command that is a menu item's handler runs that very handler.
    const auto handler = [this](void (frmMain::*h)()) {
        return [this, h] {
            (this->*h)();
            return true;
        };
    };
    dispatch_.add(kUpKey, [this] {
        commands_.UpOneFolder();
        return true;
    });
    dispatch_.add(kNewFolderKey, [this] { return commands_.NewFolder(); });
    dispatch_.add(QStringLiteral("圧縮"), handler(&frmMain::mnuFileCompress_Click));
    dispatch_.add(QStringLiteral("解凍"), handler(&frmMain::mnuFileExtract_Click));
    dispatch_.add(QStringLiteral("切り取り"), handler(&frmMain::mnuEditCut_Click));
    dispatch_.add(QStringLiteral("ｺﾋﾟｰ"), handler(&frmMain::mnuEditCopy_Click));
    dispatch_.add(QStringLiteral("貼り付け"), handler(&frmMain::mnuEditPaste_Click));
    dispatch_.add(QStringLiteral("ごみ"), handler(&frmMain::mnuFileDelete_Click));
    dispatch_.add(QStringLiteral("削除"), handler(&frmMain::mnuFileVacume_Click));
    dispatch_.add(QStringLiteral("分割"), handler(&frmMain::mnuFileDivide_Click));
    dispatch_.add(QStringLiteral("結合"), handler(&frmMain::mnuFileJoin_Click));
    for (int mode = 0; mode < 4; ++mode)
        dispatch_.add(MainToolBar::viewKey(mode), [this, mode] {
            SetViewMode(mode);
            return true;
        });
    dispatch_.add(kExitKey, [this] { return close(); }, true);
    dispatch_.setAfterEach([this] { restoreViewMenuChecks(); });
}

void frmMain::tbToolBar_ButtonClick(const QString& key)
{
    dispatch_.run(key);
}

void frmMain::restoreViewMenuChecks()
{
    menus_->checkViewMode(lvListView->view());
}

void frmMain::SetViewMode(int mode)
{
    lvListView->setView(mode);
    tbToolBar->pressViewButton(mode);
}

void frmMain::mnuListViewMode_Click(int index)
{
    // The menu runs exactly what the toolbar button of the same mode runs.
    const QString key = MainToolBar::viewKey(index);
    for (QAction* action : tbToolBar->actions())
        if (!key.isEmpty() && action->objectName() == key)
            tbToolBar_ButtonClick(key);
}

void frmMain::refreshAll()
{
    tvTreeView->tvTreeView_Refresh();
    lvListView->clear();
    lvListView->ListFolder(path_);
}

std::unique_ptr<Progress> frmMain::makeProgress()
{
    if (progressFactory_)
        return progressFactory_();
    return std::make_unique<ProgressWindow>(this);
}

void frmMain::mnuViewArrangeIcons_Click() { commands_.ArrangeIcons(); }
void frmMain::mnuViewRefresh_Click() { commands_.Refresh(); }
void frmMain::mnuFileClose_Click() { close(); }
void frmMain::mnuEditSelectAll_Click() { lvListView->mnuEditSelectAll_Click(); }

// The file commands below are reached from the menu and the toolbar alike;
// each hands the work to the part of the program that does it.
void frmMain::mnuFileDivide_Click() { DivideCommand(*this).run(); }
void frmMain::mnuFileJoin_Click() { JoinCommand(*this).run(); }
void frmMain::setArchiver(std::unique_ptr<Archiver> archiver)
{
    archiver_ = archiver ? std::move(archiver) : std::make_unique<LibraryArchiver>();
}

void frmMain::mnuFileCompress_Click() { CompressCommand(*this, archiver()).run(); }
void frmMain::mnuFileExtract_Click() { ExtractCommand(*this, archiver(), archiveState()).run(); }
void frmMain::mnuFileDelete_Click() { trash_->mnuFileDelete_Click(); }
void frmMain::mnuFileVacume_Click() { trash_->mnuFileVacume_Click(); }
void frmMain::mnuEditCut_Click() { clipboard_->mnuEditCut_Click(); }
void frmMain::mnuEditCopy_Click() { clipboard_->mnuEditCopy_Click(); }
void frmMain::mnuEditPaste_Click() { clipboard_->mnuEditPaste_Click(); }
void frmMain::mnuHelpContents_Click() { HelpCommands::show(this, prompter_, HelpCommands::HELP_CONTENTS); }
void frmMain::mnuHelpSearchForHelpOn_Click()
{
    HelpCommands::show(this, prompter_, HelpCommands::HELP_PARTIALKEY);
}
void frmMain::mnuHelpAbout_Click() { frmAbout::showModal(this, prompter_, Module1::Settings()); }
