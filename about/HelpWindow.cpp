#include "about/HelpWindow.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<HelpWindow> theWindow;

// The anchor an item of either list leads to.
constexpr int kAnchorRole = Qt::UserRole;
// The keyword in its comparable form, computed once per page.
constexpr int kSearchKeyRole = Qt::UserRole + 1;

} // namespace

HelpWindow* HelpWindow::instance(QWidget* owner)
{
    if (!theWindow)
        theWindow = new HelpWindow(owner);
    return theWindow;
}

HelpWindow* HelpWindow::existing()
{
    return theWindow;
}

HelpWindow::HelpWindow(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Kestrel ﾍﾙﾌﾟ"));
    // A window of its own with the usual frame buttons, so it can be kept
    // open and resized beside the main window.
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(false);
    buildControls();
    resize(780, 540);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::buildControls()
{
    contentsList = new QListWidget;
    contentsList->setObjectName(QStringLiteral("contentsList"));

    auto* keywordLabel = new QLabel(QStringLiteral("ｷｰﾜｰﾄﾞを入力してください(&W):"));
    keywordEdit = new QLineEdit;
    keywordEdit->setObjectName(QStringLiteral("keywordEdit"));
    keywordEdit->setClearButtonEnabled(true);
    keywordLabel->setBuddy(keywordEdit);
    keywordList = new QListWidget;
    keywordList->setObjectName(QStringLiteral("keywordList"));
    cmdDisplay = new QPushButton(QStringLiteral("表示(&D)"));
    cmdDisplay->setObjectName(QStringLiteral("cmdDisplay"));
    cmdDisplay->setAutoDefault(false);

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(keywordLabel);
    indexLayout->addWidget(keywordEdit);
    indexLayout->addWidget(keywordList, 1);
    indexLayout->addWidget(cmdDisplay, 0, Qt::AlignRight);

    tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(contentsList, QStringLiteral("目次(&C)"));
    tabs->addTab(indexPage, QStringLiteral("ｷｰﾜｰﾄﾞ(&K)"));

    browser = new QTextBrowser;
    browser->setObjectName(QStringLiteral("browser"));
    // Links are followed here: places in the page by scrolling, anything
    // else by the desktop's own program.
    browser->setOpenLinks(false);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabs);
    splitter->addWidget(browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 540});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(contentsList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { jumpTo(item->data(kAnchorRole).toString()); });
    connect(contentsList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { jumpTo(item->data(kAnchorRole).toString()); });
    connect(keywordEdit, &QLineEdit::textChanged, this, &HelpWindow::filterKeywords);
    connect(keywordEdit, &QLineEdit::returnPressed, this, &HelpWindow::chooseKeyword);
    connect(keywordList, &QListWidget::itemActivated, this, &HelpWindow::chooseKeyword);
    connect(cmdDisplay, &QPushButton::clicked, this, &HelpWindow::chooseKeyword);
    connect(browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
}

bool HelpWindow::load(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QString html = QString::fromUtf8(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    path_ = path;
    browser->setSearchPaths({QFileInfo(path).absolutePath()});
    browser->setHtml(html);
    fillList(contentsList, HelpPage::contents(html));
    fillList(keywordList, HelpPage::keywords(html));
    for (int i = 0; i < keywordList->count(); ++i) {
        QListWidgetItem* item = keywordList->item(i);
        item->setData(kSearchKeyRole, HelpPage::searchKey(item->text()));
    }
    filterKeywords(keywordEdit->text());
    return true;
}

void HelpWindow::fillList(QListWidget* list, const QList<HelpPage::Entry>& entries)
{
    list->clear();
    for (const HelpPage::Entry& entry : entries) {
        auto* item = new QListWidgetItem(entry.text, list);
        item->setData(kAnchorRole, entry.anchor);
    }
}

void HelpWindow::present()
{
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void HelpWindow::showContents()
{
    tabs->setCurrentIndex(0);
    browser->verticalScrollBar()->setValue(0);
    present();
    contentsList->setFocus();
}

void HelpWindow::showSearch()
{
    // The search starts from an empty keyword, every keyword in view.
    tabs->setCurrentIndex(1);
    keywordEdit->clear();
    present();
    keywordEdit->setFocus();
}

void HelpWindow::jumpTo(const QString& anchor)
{
    if (!anchor.isEmpty())
        browser->scrollToAnchor(anchor);
}

QStringList HelpWindow::visibleKeywords() const
{
    QStringList words;
    for (int i = 0; i < keywordList->count(); ++i)
        if (!keywordList->item(i)->isHidden())
            words << keywordList->item(i)->text();
    return words;
}

void HelpWindow::filterKeywords(const QString& typed)
{
    const QString key = HelpPage::searchKey(typed.trimmed());
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < keywordList->count(); ++i) {
        QListWidgetItem* item = keywordList->item(i);
        const bool shown = item->data(kSearchKeyRole).toString().contains(key);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    // The best match stands ready, so Enter shows it at once.
    keywordList->setCurrentItem(first);
}

void HelpWindow::chooseKeyword()
{
    QListWidgetItem* item = keywordList->currentItem();
    if (item && !item->isHidden())
        jumpTo(item->data(kAnchorRole).toString());
}

void HelpWindow::followLink(const QUrl& url)
{
    if (url.scheme().isEmpty() && url.path().isEmpty()) {
        jumpTo(url.fragment());
        return;
    }
    // Other pages and sites open in the desktop's browser, relative ones
    // found beside this page.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path_).resolved(url));
}
