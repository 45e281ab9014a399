#include "archive/frmExtract.h"

#include "archive/ArchiveState.h"
#include "archive/EntryCells.h"
#include "archive/EntryListModel.h"
#include "archive/OutcomeReport.h"
#include "archive/ViewerPictures.h"
#include "platform/ClockStatusBar.h"
#include "platform/ApplicationTitle.h"
#include "platform/ProgressWindow.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

int px(double twips) { return Twips::toPixelsX(twips); }
int pxY(double twips) { return Twips::toPixelsY(twips); }
double tx(int pixels) { return Twips::fromPixelsX(pixels); }
double ty(int pixels) { return Twips::fromPixelsY(pixels); }

constexpr double kLoadWidth = 9300;
constexpr double kClientHeight = 5385;
constexpr double kMinimumWidth = 3000;
constexpr double kToolbarHeight = 420;
constexpr double kTitlesHeight = 300;

// Layout steps and toolbar commands stop at their own failure only.
template <typename Step>
void ignoringFailures(const Step& step)
{
    try {
        step();
    } catch (...) {
        // Deliberately silent: the failed step is abandoned, the next one runs.
    }
}

struct ButtonSpec {
    const char* key;  // empty: a separator
    const char* tooltip;
    const char* picture;
};

const ButtonSpec kButtons[] = {
    {"", "", ""},
    {"新規作成", "書庫に追加", "New"},
    {"", "", ""},
    {"Extract", "解凍", "Extract"},
    {"EXE", "自己解凍書庫の作成", "EXE"},
    {"削除", "削除", "Delete"},
    {"", "", ""},
    {"終了", "閉じる", "OOFL"},
};

} // namespace

frmExtract::frmExtract(Archiver& archiver, ArchiveState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), archiver_(archiver), state_(state), prompter_(prompter),
      iconKeys_(LargeIconImageList, SmallIconImageList), commands_(*this)
{
    setObjectName(QStringLiteral("frmExtract"));
    setWindowTitle(QStringLiteral("解凍"));
    setModal(true);
    // The viewer's questions sit on the viewer while it is open.
    previousOwner_ = prompter_.owner();
    prompter_.setOwner(this);
    createControls();
    Form_Load();
}

frmExtract::~frmExtract()
{
    prompter_.setOwner(previousOwner_);
}

const QStringList& frmExtract::buttonKeys()
{
    static const QStringList keys = [] {
        QStringList list;
        for (const ButtonSpec& b : kButtons)
            list << QString::fromUtf8(b.key);
        return list;
    }();
    return keys;
}

QAction* frmExtract::toolbarButton(const QString& key) const
{
    if (key.isEmpty())
        return nullptr;
    return tbToolBar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

// ---- Controls ----

void frmExtract::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    layout->setMenuBar(menuBar);
    client_ = new QWidget(this);
    layout->addWidget(client_);
    client_->installEventFilter(this);

    createMenus();
    createToolBar();

    picTitles = new QWidget(client_);
    picTitles->setObjectName(QStringLiteral("picTitles"));
    picTitles->setFixedHeight(pxY(kTitlesHeight));
    lblTitle = new QLabel(picTitles);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    model_ = new EntryListModel(this);
    lvListView = new QTreeView(client_);
    lvListView->setObjectName(QStringLiteral("lvListView"));
    lvListView->setRootIsDecorated(false);
    lvListView->setItemsExpandable(false);
    lvListView->setUniformRowHeights(true);  // lets the view skip measuring 100,000 rows
    lvListView->setSortingEnabled(false);
    lvListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvListView->setIconSize(QSize(16, 16));
    lvListView->setModel(model_);
    QHeaderView* header = lvListView->header();
    header->setSectionsClickable(false);  // a click on a header has no action
    // The date column takes any room left over: "yyyy/mm/dd hh:nn:ss" is
    // wider than its 1800 twips in most desktop fonts.
    header->setStretchLastSection(true);
    for (int c = 0; c < EntryListModel::ColumnCount; ++c)
        lvListView->setColumnWidth(c, px(EntryListModel::widthTwips(c)));

    sbStatusBar = new ClockStatusBar(client_);
    sbStatusBar->setFixedHeight(Twips::toPixelsY(270));
    resize(px(kLoadWidth), menuBar->sizeHint().height() + pxY(kClientHeight));
}

void frmExtract::createMenus()
{
    const auto item = [this](QMenu* menu, const char* name, const char* caption, void (frmExtract::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    Menus& m = menus;
    m.mnuFile = menuBar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m.mnuFileAdd = item(m.mnuFile, "mnuFileAdd", "書庫に追加(&A)", &frmExtract::mnuFileAdd_Click);
    m.mnuFileDelete = item(m.mnuFile, "mnuFileDelete", "削除(&D)", &frmExtract::mnuFileDelete_Click);
    m.mnuFileDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    m.mnuFileMelt = item(m.mnuFile, "mnuFileMelt", "解凍(&M)", &frmExtract::mnuFileMelt_Click);
    m.mnuFileSFX = item(m.mnuFile, "mnuFileSFX", "自己解凍書庫の作成(&F)", &frmExtract::mnuFileSFX_Click);
    m.mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar0"));
    m.mnuFileClose = item(m.mnuFile, "mnuFileClose", "閉じる(&C)", &frmExtract::mnuFileClose_Click);

    m.mnuEdit = menuBar->addMenu(QStringLiteral("編集(&E)"));
    m.mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    m.mnuEditChangeName = item(m.mnuEdit, "mnuEditChangeName", "名前の変更(&N)", &frmExtract::mnuEditChangeName_Click);
    m.mnuEditSelectAll = item(m.mnuEdit, "mnuEditSelectAll", "すべて選択(&A)", &frmExtract::mnuEditSelectAll_Click);
    m.mnuEditSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m.mnuEditSelectCancel = item(m.mnuEdit, "mnuEditSelectCancel", "選択の解除(&D)", &frmExtract::mnuEditSelectCancel_Click);

    m.mnuView = menuBar->addMenu(QStringLiteral("表示(&V)"));
    m.mnuView->setObjectName(QStringLiteral("mnuView"));
    m.mnuViewToolbar = item(m.mnuView, "mnuViewToolbar", "ﾂｰﾙ ﾊﾞｰ(&T)", &frmExtract::mnuViewToolbar_Click);
    m.mnuViewStatusBar = item(m.mnuView, "mnuViewStatusBar", "ｽﾃｰﾀｽ ﾊﾞｰ(&B)", &frmExtract::mnuViewStatusBar_Click);
    for (QAction* toggle : {m.mnuViewToolbar, m.mnuViewStatusBar}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }
    // The shortcuts work wherever the focus is in the viewer.
    for (QAction* action : {m.mnuFileDelete, m.mnuEditSelectAll})
        action->setShortcutContext(Qt::WindowShortcut);
}

void frmExtract::createToolBar()
{
    tbToolBar = new QToolBar(client_);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbToolBar->setFixedHeight(pxY(kToolbarHeight));
    for (const ButtonSpec& b : kButtons) {
        const QString key = QString::fromUtf8(b.key);
        if (key.isEmpty()) {
            tbToolBar->addSeparator();
            continue;
        }
        QAction* action = new QAction(ViewerPictures::icon(QString::fromUtf8(b.picture)),
                                      QString::fromUtf8(b.tooltip), tbToolBar);
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(b.tooltip));
        tbToolBar->addAction(action);
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }
}

// ---- Load ----

void frmExtract::Form_Load()
{
    model_->clear();
    lblTitle->setText(state_.archivePath);
    state_.archiveType = ArchiveState::typeOf(state_.archivePath);
    const QString& type = state_.archiveType;
    disableForType(type);

    bool listed = false;
    QString failure;
    if (type == QLatin1String("CAB")) {
        listed = ViewCabFile();
        failure = QStringLiteral("CABﾌｧｲﾙの読込みができませんでした");
    } else if (type == QLatin1String("LZH")) {
        listed = ViewLzhFile();
        failure = QStringLiteral("LZHﾌｧｲﾙの読込みができませんでした");
    } else if (type == QLatin1String("ZIP")) {
        listed = ViewZipFile();
        failure = QStringLiteral("ZIPﾌｧｲﾙの読込みができませんでした");
    } else {
        inform(QStringLiteral("そのﾌｧｲﾙ形式はｻﾎﾟｰﾄしていません"));
        return;
    }
    if (listed)
        mnuEditSelectAll_Click();
    else
        inform(failure);
}

// A CAB archive cannot be added to, deleted from or renamed in; a ZIP archive
// is only read; an archive of any other kind was not listed, so nothing that
// names its entries is offered.
void frmExtract::disableForType(const QString& type)
{
    QStringList buttons;
    QList<QAction*> items;
    const Menus& m = menus;
    if (type == QLatin1String("LZH"))
        return;
    if (type == QLatin1String("CAB")) {
        buttons = {QStringLiteral("新規作成"), QStringLiteral("削除")};
        items = {m.mnuFileAdd, m.mnuFileDelete, m.mnuEditChangeName};
    } else if (type == QLatin1String("ZIP")) {
        buttons = {QStringLiteral("新規作成"), QStringLiteral("EXE"), QStringLiteral("削除")};
        items = {m.mnuFileAdd, m.mnuFileSFX, m.mnuFileDelete, m.mnuEditChangeName};
    } else {
        buttons = {QStringLiteral("新規作成"), QStringLiteral("Extract"), QStringLiteral("EXE"), QStringLiteral("削除")};
        items = {m.mnuFileAdd, m.mnuFileMelt, m.mnuFileSFX, m.mnuFileDelete, m.mnuEditChangeName};
    }
    for (const QString& key : buttons)
        toolbarButton(key)->setEnabled(false);
    for (QAction* item : items)
        item->setEnabled(false);
}

void frmExtract::inform(const QString& text)
{
    prompter_.message(text, Prompter::Buttons::Ok, Prompter::Icon::Information, ApplicationTitle());
}

// ---- Listing ----

bool frmExtract::ViewLzhFile() { return view(ArchiverKind::Unlha); }
bool frmExtract::ViewZipFile() { return view(ArchiverKind::UnZip); }
bool frmExtract::ViewCabFile() { return view(ArchiverKind::Cab); }

// One pass over the library's records into rows, then one reset of the model.
// A library that cannot be loaded says so and why; the caller then adds its
// own line about the archive.
bool frmExtract::view(ArchiverKind kind)
{
    const bool cab = kind == ArchiverKind::Cab;
    model_->clear();
    model_->setCab(cab);
    std::vector<EntryListModel::Row> rows;
    ArchiveUi ui{prompter_, this, [this] { return makeProgress(); }};
    ArchiverOutcome outcome;
    archiver_.list(kind, state_.archivePath, ui, [&](const EntryInfo& entry) {
        EntryListModel::Row row = EntryListModel::rowFor(entry, 0);
        row.icon = iconFor(EntryCells::iconClass(row.name, cab));
        rows.push_back(std::move(row));
    }, &outcome);
    if (!outcome.loaded)
        OutcomeReport::show(prompter_, kind, outcome, QString());
    model_->setRows(std::move(rows));
    return model_->rowCount() > 0;
}

int frmExtract::iconFor(const QString& iconClass)
{
    const QString type = EntryIconKeys::typeName(iconClass);
    const auto known = iconByType_.constFind(type);
    if (known != iconByType_.constEnd())
        return *known;
    const EntryIconKeys::Keys keys = iconKeys_.GetEntryIconKeys(iconClass);
    const int index = model_->iconIndex(keys.large, keys.small, SmallIconImageList.image(keys.small));
    iconByType_.insert(type, index);
    return index;
}

// ---- Selection ----

void frmExtract::mnuEditSelectAll_Click()
{
    const int rows = model_->rowCount();
    if (rows == 0)
        return;
    // One range for the whole list: selecting row by row would take minutes.
    const QItemSelection all(model_->index(0, 0), model_->index(rows - 1, EntryListModel::ColumnCount - 1));
    lvListView->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void frmExtract::mnuEditSelectCancel_Click()
{
    lvListView->selectionModel()->clearSelection();
}

QList<int> frmExtract::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange& range : lvListView->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QStringList frmExtract::selectedEntries() const
{
    QStringList keys;
    for (int r : selectedRows())
        keys << model_->row(r).name;
    return keys;
}

QStringList frmExtract::selectedCutEntries() const
{
    QStringList keys;
    for (int r : selectedRows())
        if (model_->row(r).nameCut)
            keys << model_->row(r).name;
    return keys;
}

int frmExtract::itemCount() const { return model_->rowCount(); }

QString frmExtract::archivePath() const { return state_.archivePath; }
QString frmExtract::archiveType() const { return state_.archiveType; }

bool frmExtract::listAgain()
{
    model_->clear();
    return ViewLzhFile();
}

std::unique_ptr<Progress> frmExtract::makeProgress()
{
    if (progressFactory_)
        return progressFactory_();
    return std::make_unique<ProgressWindow>(this);
}

// ---- Commands ----

void frmExtract::tbToolBar_ButtonClick(const QString& key)
{
    ignoringFailures([&] {
        if (key == QStringLiteral("新規作成"))
            mnuFileAdd_Click();
        else if (key == QLatin1String("Extract"))
            mnuFileMelt_Click();
        else if (key == QLatin1String("EXE"))
            mnuFileSFX_Click();
        else if (key == QStringLiteral("削除"))
            mnuFileDelete_Click();
        else if (key == QStringLiteral("終了"))
            mnuFileClose_Click();
    });
}

void frmExtract::mnuFileMelt_Click() { commands_.mnuFileMelt_Click(); }
void frmExtract::mnuFileAdd_Click() { commands_.mnuFileAdd_Click(); }
void frmExtract::mnuFileDelete_Click() { commands_.mnuFileDelete_Click(); }
void frmExtract::mnuEditChangeName_Click() { commands_.mnuEditChangeName_Click(); }
void frmExtract::mnuFileSFX_Click() { commands_.mnuFileSFX_Click(); }
void frmExtract::mnuFileClose_Click() { close(); }

void frmExtract::mnuViewToolbar_Click()
{
    tbToolBar->setVisible(menus.mnuViewToolbar->isChecked());
    Form_Resize();
}

void frmExtract::mnuViewStatusBar_Click()
{
    sbStatusBar->setVisible(menus.mnuViewStatusBar->isChecked());
    Form_Resize();
}

// ---- Layout ----

double frmExtract::windowWidth() const { return tx(frameGeometry().width()); }
double frmExtract::clientHeight() const { return ty(client_->height()); }

bool frmExtract::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize)
        Form_Resize();
    return QDialog::eventFilter(watched, event);
}

void frmExtract::Form_Resize()
{
    ignoringFailures([this] {
        const int minimum = px(kMinimumWidth) - (frameGeometry().width() - geometry().width());
        if (minimumWidth() != minimum)
            setMinimumWidth(minimum);
        if (windowWidth() < kMinimumWidth && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            resize(minimum, height());
    });
    ignoringFailures([this] { dockBars(); });
    ignoringFailures([this] { SizeControls(); });
}

// The toolbar, the title strip and the status bar stand at the edges of the
// client area as aligned controls do.
void frmExtract::dockBars()
{
    const int width = client_->width();
    tbToolBar->setGeometry(0, 0, width, tbToolBar->height());
    const int titlesTop = tbToolBar->isHidden() ? 0 : tbToolBar->height();
    picTitles->setGeometry(0, titlesTop, width, picTitles->height());
    const int statusHeight = sbStatusBar->height();
    sbStatusBar->setGeometry(0, client_->height() - statusHeight, width, statusHeight);
}

// Each step on its own: a size that would come out negative (a window too
// small for its bars) is left as it was and the next step still runs.
void frmExtract::SizeControls()
{
    const double listLeft = 40;
    const double listWidth = windowWidth() - 140;
    ignoringFailures([&] {
        if (listWidth >= 0)
            lvListView->setGeometry(px(listLeft), lvListView->y(), px(listWidth), lvListView->height());
    });
    ignoringFailures([&] {
        const double titleWidth = listWidth - 40;
        if (titleWidth >= 0)
            lblTitle->setGeometry(px(listLeft + 20), 0, px(titleWidth), picTitles->height());
    });
    const double titlesHeight = ty(picTitles->height());
    ignoringFailures([&] {
        const double top = tbToolBar->isHidden() ? titlesHeight : ty(tbToolBar->height()) + titlesHeight;
        lvListView->move(lvListView->x(), pxY(top));
    });
    ignoringFailures([&] {
        const double statusHeight = sbStatusBar->isHidden() ? 0 : ty(sbStatusBar->height());
        const double height = clientHeight() - (ty(picTitles->y()) + titlesHeight) - statusHeight;
        if (height >= 0)
            lvListView->resize(lvListView->width(), pxY(height));
    });
}
