#include "about/HelpPage.h"
#include "about/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class tst_HelpWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void contentsOpenAtTheTopWithTheContentsInFront();
    void searchPutsTheKeywordIndexInFront();
    void typingFiltersTheKeywords();
    void enterJumpsToTheChosenKeywordsSection();
    void nothingMatchingMeansNoJump();
    void contentsEntriesAndLinksJumpToo();
    void aPageThatCannotBeReadKeepsTheOldOne();
    void thereIsOneWindowThatGoesWithItsOwner();

private:
    // Where the page scrolls to for `anchor`, measured on a fresh start.
    int scrollFor(const QString& anchor);
    int scroll() const { return window_->browser->verticalScrollBar()->value(); }

    QWidget* owner_ = nullptr;
    HelpWindow* window_ = nullptr;
};

void tst_HelpWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_HelpWindow::init()
{
    owner_ = new QWidget;
    window_ = new HelpWindow(owner_);
    // Small enough that the page must scroll.
    window_->resize(640, 360);
    QString error;
    QVERIFY2(window_->load(QStringLiteral(KESTREL_HELP_SOURCE), error), qPrintable(error));
}

void tst_HelpWindow::cleanup()
{
    delete owner_;
    window_ = nullptr;
}

int tst_HelpWindow::scrollFor(const QString& anchor)
{
    // The page is laid out, and so can scroll, once the window is on screen.
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_))
        return -1;
    window_->browser->verticalScrollBar()->setValue(0);
    window_->jumpTo(anchor);
    const int value = scroll();
    window_->browser->verticalScrollBar()->setValue(0);
    return value;
}

void tst_HelpWindow::contentsOpenAtTheTopWithTheContentsInFront()
{
    window_->browser->verticalScrollBar()->setValue(200);
    window_->showContents();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    QVERIFY(!window_->isModal());
    QCOMPARE(window_->tabs->currentIndex(), 0);
    QCOMPARE(scroll(), 0);
    QFile page(QStringLiteral(KESTREL_HELP_SOURCE));
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(window_->contentsList->count(), HelpPage::contents(QString::fromUtf8(page.readAll())).size());
    QCOMPARE(window_->contentsList->item(0)->text(), QStringLiteral("画面の見方"));
    QVERIFY(window_->browser->toPlainText().contains(QStringLiteral("Kestrel ヘルプ")));
}

void tst_HelpWindow::searchPutsTheKeywordIndexInFront()
{
    window_->keywordEdit->setText(QStringLiteral("old words"));
    window_->showSearch();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    QCOMPARE(window_->tabs->currentIndex(), 1);
    QTRY_VERIFY(window_->keywordEdit->hasFocus());
    // Each search starts afresh with every keyword in view.
    QVERIFY(window_->keywordEdit->text().isEmpty());
    QCOMPARE(window_->visibleKeywords().size(), window_->keywordList->count());
}

void tst_HelpWindow::typingFiltersTheKeywords()
{
    window_->showSearch();
    const int all = window_->keywordList->count();
    QVERIFY(all > 30);
    QCOMPARE(window_->visibleKeywords().size(), all);

    QTest::keyClicks(window_->keywordEdit, QStringLiteral("lz"));
    QCOMPARE(window_->visibleKeywords(), (QStringList{QStringLiteral("LZH"), QStringLiteral("LZX")}));
    QCOMPARE(window_->keywordList->currentItem()->text(), QStringLiteral("LZH"));

    // Typed in full-width hiragana, found in half-width katakana.
    window_->keywordEdit->setText(QStringLiteral("こぴー"));
    QCOMPARE(window_->visibleKeywords(), QStringList{QStringLiteral("ｺﾋﾟｰ")});

    window_->keywordEdit->setText(QStringLiteral("ごみ箱"));
    QCOMPARE(window_->visibleKeywords(),
             (QStringList{QStringLiteral("ごみ箱"), QStringLiteral("ごみ箱に移動"), QStringLiteral("ごみ箱を空にする")}));

    window_->keywordEdit->clear();
    QCOMPARE(window_->visibleKeywords().size(), all);
}

void tst_HelpWindow::enterJumpsToTheChosenKeywordsSection()
{
    const int join = scrollFor(QStringLiteral("join"));
    const int paste = scrollFor(QStringLiteral("paste"));
    QVERIFY(join > 0);
    QVERIFY(paste > join);

    window_->showSearch();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    window_->keywordEdit->setText(QStringLiteral("結合"));
    QTest::keyClick(window_->keywordEdit, Qt::Key_Return);
    QCOMPARE(scroll(), join);

    // Choosing another entry of the filtered list and pressing 表示.
    window_->keywordEdit->setText(QStringLiteral("り"));
    const QList<QListWidgetItem*> found = window_->keywordList->findItems(QStringLiteral("貼り付け"), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    window_->keywordList->setCurrentItem(found.first());
    window_->cmdDisplay->click();
    QCOMPARE(scroll(), paste);
}

void tst_HelpWindow::nothingMatchingMeansNoJump()
{
    window_->showSearch();
    window_->browser->verticalScrollBar()->setValue(0);
    window_->keywordEdit->setText(QStringLiteral("存在しない言葉"));
    QVERIFY(window_->visibleKeywords().isEmpty());
    QTest::keyClick(window_->keywordEdit, Qt::Key_Return);
    window_->cmdDisplay->click();
    QCOMPARE(scroll(), 0);
}

void tst_HelpWindow::contentsEntriesAndLinksJumpToo()
{
    const int trash = scrollFor(QStringLiteral("trash"));
    const int about = scrollFor(QStringLiteral("about"));
    window_->showContents();
    const QList<QListWidgetItem*> items = window_->contentsList->findItems(QStringLiteral("ごみ箱に移動"), Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    emit window_->contentsList->itemActivated(items.first());
    QCOMPARE(scroll(), trash);

    // A link inside the page, as a click on it reports it.
    emit window_->browser->anchorClicked(QUrl(QStringLiteral("#about")));
    QCOMPARE(scroll(), about);
}

void tst_HelpWindow::aPageThatCannotBeReadKeepsTheOldOne()
{
    QTemporaryDir temp;
    const int keywords = window_->keywordList->count();
    QString error;
    // A folder where the page should be cannot be read as one.
    const QString folder = temp.filePath(QStringLiteral("Kestrel.html"));
    QDir().mkpath(folder);
    QVERIFY(!window_->load(folder, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!window_->load(temp.filePath(QStringLiteral("missing.html")), error));
    QCOMPARE(window_->loadedPath(), QStringLiteral(KESTREL_HELP_SOURCE));
    QCOMPARE(window_->keywordList->count(), keywords);

    // A readable page replaces both lists.
    QFile small(temp.filePath(QStringLiteral("small.html")));
    QVERIFY(small.open(QIODevice::WriteOnly));
    small.write("<ul class=\"contents\"><li><a href=\"#a\">A</a></li></ul>"
                "<ul class=\"index\"><li><a href=\"#a\">alpha</a></li></ul><h2><a name=\"a\">A</a></h2>");
    small.close();
    QVERIFY(window_->load(small.fileName(), error));
    QCOMPARE(window_->contentsList->count(), 1);
    QCOMPARE(window_->visibleKeywords(), QStringList{QStringLiteral("alpha")});
}

void tst_HelpWindow::thereIsOneWindowThatGoesWithItsOwner()
{
    auto* owner = new QWidget;
    HelpWindow* first = HelpWindow::instance(owner);
    QCOMPARE(HelpWindow::instance(owner), first);
    QCOMPARE(HelpWindow::existing(), first);
    QCOMPARE(first->parentWidget(), owner);
    QVERIFY(first->isWindow());
    delete owner;
    QCOMPARE(HelpWindow::existing(), nullptr);
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_HelpWindow.moc"
