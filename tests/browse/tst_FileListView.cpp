#include "FakeBrowseHost.h"
#include "TestTree.h"

#include "browse/FileListModel.h"
#include "browse/FileNameDelegate.h"
#include "browse/FormatFileTime.h"
#include "browse/GetNewFolderName.h"
#include "browse/IconCacheKey.h"
#include "platform/Attributes.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>

using namespace TestTree;

class tst_FileListView : public QObject {
    Q_OBJECT

private:
    QStringList names(const FileListView& list)
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i)
            out << list.item(i).name;
        return out;
    }
    QString column(const FileListView& list, const QString& name, int col)
    {
        const int row = list.rowOfKey(dir_->path() + QLatin1Char('/') + name);
        return list.model()->index(row, col).data().toString();
    }
    std::unique_ptr<QTemporaryDir> dir_;
    QString root() const { return dir_->path() + QLatin1Char('/'); }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void foldersComeFirstAndNamesIgnoreCase()
    {
        makeFile(root() + "b.txt");
        makeFile(root() + "A.TXT");
        makeFolder(root() + "z");
        makeFolder(root() + "Y");
        FakeBrowseHost host;
        host.list.ListFolder(dir_->path());  // without the trailing "/" too
        QCOMPARE(names(host.list), (QStringList {"Y", "z", "A.TXT", "b.txt"}));
        QCOMPARE(host.list.item(0).key, root() + "Y");
        QCOMPARE(host.list.item(0).type, QStringLiteral("ﾌｫﾙﾀﾞ"));
        QCOMPARE(host.list.item(2).type, QStringLiteral("ﾌｧｲﾙ"));
        QCOMPARE(host.list.SortColumn(), 0);
        QVERIFY(host.list.SortAscending());
    }

    void namesDifferingInCaseAndHiddenEntriesAllShow()
    {
        makeFile(root() + "a");
        makeFile(root() + "A");
        makeFile(root() + ".profile");
        makeFolder(root() + ".cache");
        FakeBrowseHost host;
        host.list.ListFolder(root());
        QCOMPARE(names(host.list), (QStringList {".cache", ".profile", "A", "a"}));
        QCOMPARE(column(host.list, ".profile", FileListModel::AttributesColumn), QStringLiteral("H"));
    }

    void sizeTypeAndTimeTexts()
    {
        makeFile(root() + "small", 1234);
        makeFile(root() + "five", 5000000000LL);
        makeFile(root() + "eleven", 12345678901LL);
        makeFolder(root() + "sub");
        setTime(root() + "small", 976007223);  // 2000-12-05 09:07:03 UTC
        ::mkfifo(QFile::encodeName(root() + "pipe").constData(), 0644);
        qputenv("TZ", "UTC");
        ::tzset();
        FakeBrowseHost host;
        host.list.ListFolder(root());
        QCOMPARE(column(host.list, "small", FileListModel::SizeColumn), QStringLiteral("      1234"));
        QCOMPARE(column(host.list, "five", FileListModel::SizeColumn), QStringLiteral("5000000000"));
        QCOMPARE(column(host.list, "eleven", FileListModel::SizeColumn), QStringLiteral("12345678901"));
        QCOMPARE(column(host.list, "sub", FileListModel::SizeColumn), QStringLiteral("         0"));
        QCOMPARE(column(host.list, "sub", FileListModel::TypeColumn), QStringLiteral("ﾌｫﾙﾀﾞ"));
        QCOMPARE(column(host.list, "pipe", FileListModel::TypeColumn), QStringLiteral("ﾌｧｲﾙ"));
        QCOMPARE(column(host.list, "pipe", FileListModel::AttributesColumn), QStringLiteral("S"));
        QCOMPARE(column(host.list, "sub", FileListModel::AttributesColumn), QString());
        QCOMPARE(column(host.list, "small", FileListModel::TimeColumn),
                 QStringLiteral("2000/12/05 09:07:03"));
    }

    void timeTextFollowsTheLocalZone()
    {
        qputenv("TZ", "JST-9");
        ::tzset();
        QCOMPARE(FormatFileTime(976007223), QStringLiteral("2000/12/05 18:07:03"));
        QCOMPARE(FormatFileTime(0), QStringLiteral("1970/01/01 09:00:00"));
        // Beyond four-digit years the layout cannot hold the time: empty.
        QCOMPARE(FormatFileTime(400000000000LL), QString());
        qputenv("TZ", "UTC");
        ::tzset();
    }

    void columnClicksSortAndFlip()
    {
        makeFile(root() + "b900", 900);
        makeFile(root() + "a12345", 12345);
        makeFile(root() + "c1234", 1234);
        makeFile(root() + "huge", 12345678901LL);
        makeFile(root() + "big", 5000000000LL);
        makeFolder(root() + "d");
        makeFolder(root() + "e");
        FakeBrowseHost host;
        host.list.ListFolder(root());
        host.list.lvListView_ColumnClick(FileListModel::SizeColumn);
        // Larger than ten digits still orders by number, not by its text.
        QCOMPARE(names(host.list), (QStringList {"d", "e", "b900", "c1234", "a12345", "big", "huge"}));
        QVERIFY(host.list.SortAscending());
        host.list.lvListView_ColumnClick(FileListModel::SizeColumn);
        QCOMPARE(names(host.list), (QStringList {"d", "e", "huge", "big", "a12345", "c1234", "b900"}));
        QVERIFY(!host.list.SortAscending());
        QCOMPARE(host.list.SortColumn(), int(FileListModel::SizeColumn));
        // A different column starts ascending again; the same one then flips.
        host.list.lvListView_ColumnClick(FileListModel::NameColumn);
        QCOMPARE(names(host.list), (QStringList {"d", "e", "a12345", "b900", "big", "c1234", "huge"}));
        host.list.lvListView_ColumnClick(FileListModel::NameColumn);
        QCOMPARE(names(host.list), (QStringList {"e", "d", "huge", "c1234", "big", "b900", "a12345"}));
        // After a fresh listing the first click on the name sorts it descending.
        host.list.clear();
        host.list.ListFolder(root());
        host.list.lvListView_ColumnClick(FileListModel::NameColumn);
        QCOMPARE(host.list.item(0).name, QStringLiteral("e"));
    }

    void sortByTimeAndAttributesKeepsTiesInNameOrder()
    {
        makeFile(root() + "new");
        makeFile(root() + "old");
        makeFile(root() + "same2");
        makeFile(root() + "same1");
        makeFile(root() + ".hidden");
        setTime(root() + "new", 2000000000);
        setTime(root() + "old", 1000000000);
        setTime(root() + "same1", 1500000000);
        setTime(root() + "same2", 1500000000);
        setTime(root() + ".hidden", 1500000000);
        FakeBrowseHost host;
        host.list.ListFolder(root());
        host.list.lvListView_ColumnClick(FileListModel::TimeColumn);
        QCOMPARE(names(host.list), (QStringList {"old", ".hidden", "same1", "same2", "new"}));
        host.list.lvListView_ColumnClick(FileListModel::AttributesColumn);
        QCOMPARE(names(host.list).first(), QStringLiteral("new"));  // "" before "H"
        QCOMPARE(names(host.list).last(), QStringLiteral(".hidden"));
    }

    void sortingKeepsTheSelection()
    {
        makeFile(root() + "a", 3);
        makeFile(root() + "b", 2);
        makeFile(root() + "c", 1);
        FakeBrowseHost host;
        host.list.ListFolder(root());
        host.setListClicked(true);
        QVERIFY(host.list.selectOnly(root() + "a"));
        host.list.lvListView_ColumnClick(FileListModel::SizeColumn);
        QCOMPARE(host.list.item(2).name, QStringLiteral("a"));
        const QList<FileListItem> selected = host.list.selectedItems();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().name, QStringLiteral("a"));
    }

    void selectAllOnlyAfterAListClick()
    {
        makeFile(root() + "one");
        makeFile(root() + "two");
        makeFolder(root() + "sub");
        FakeBrowseHost host;
        host.list.ListFolder(root());
        host.setListClicked(false);  // the last choice was a folder of the tree
        host.list.mnuEditSelectAll_Click();
        QVERIFY(host.list.selectedItems().isEmpty());
        host.setListClicked(true);
        for (int mode : {0, 3}) {
            host.list.setView(mode);
            host.list.selectionModel()->clear();
            host.list.mnuEditSelectAll_Click();
            QCOMPARE(host.list.selectedItems().size(), 3);
        }
    }

    void viewModesShareOneSelection()
    {
        for (const char* name : {"a", "b", "c", "d"})
            makeFile(root() + name);
        FakeBrowseHost host;
        host.list.ListFolder(root());
        host.list.setView(2);
        host.list.selectOnly(root() + "b");
        host.list.listView()->selectionModel()->select(
            host.list.model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(host.list.selectedItems().size(), 2);
        host.list.setView(3);
        QCOMPARE(host.list.view(), 3);
        QCOMPARE(host.list.currentView(), static_cast<QAbstractItemView*>(host.list.detailsView()));
        const QList<FileListItem> selected = host.list.selectedItems();
        QCOMPARE(selected.size(), 2);
        QCOMPARE(selected[0].name, QStringLiteral("b"));
        QCOMPARE(selected[1].name, QStringLiteral("d"));
        // The modes look like their names.
        host.list.setView(0);
        QCOMPARE(host.list.listView()->viewMode(), QListView::IconMode);
        host.list.setView(1);
        QCOMPARE(host.list.listView()->viewMode(), QListView::ListMode);
        QCOMPARE(host.list.listView()->flow(), QListView::LeftToRight);
        host.list.setView(2);
        QCOMPARE(host.list.listView()->flow(), QListView::TopToBottom);
        QVERIFY(host.list.listView()->iconSize().width() < 32);
        // The columns keep their layout through a new listing.
        host.list.clear();
        host.list.ListFolder(root());
        QHeaderView* header = host.list.detailsView()->header();
        QVERIFY(header->isSectionHidden(FileListModel::TypeColumn));
        QVERIFY(header->sectionSize(FileListModel::NameColumn) > header->sectionSize(FileListModel::SizeColumn));
    }

    void iconViewsGiveEveryNameTheWholeCell()
    {
        // The views size uniform items from one of them: cells as small as a
        // short name would cut every longer name short.
        for (const char* name : {"a", "b", "cc", "d.txt"})
            makeFile(root() + name);
        FakeBrowseHost host;
        host.list.resize(600, 400);
        host.list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.list));
        QListView* view = host.list.listView();
        for (int mode : {1, 0}) {
            host.list.clear();
            host.list.setView(mode);
            host.list.ListFolder(root());
            for (int row = 0; row < host.list.count(); ++row) {
                const QModelIndex index = host.list.model()->index(row, 0);
                QTRY_VERIFY(view->visualRect(index).isValid());
                const QRect cell = view->visualRect(index);
                QVERIFY2(cell.width() >= view->gridSize().width() * 3 / 4,
                         qPrintable(QStringLiteral("mode %1: %2").arg(mode).arg(cell.width())));
                // Large icons: room for two lines of name under the icon.
                if (mode == 0)
                    QVERIFY(cell.height() >= view->iconSize().height() + 2 * view->fontMetrics().height());
            }
        }
    }

    void longNamesBreakAnywhereUnderLargeIcons()
    {
        const QFont font;
        const QFontMetrics fm(font);
        const int width = fm.horizontalAdvance(QStringLiteral("manual"));
        for (const QString& name : {QStringLiteral("manual.pdf"), QStringLiteral("報告書のとても長い名前.txt")}) {
            const QStringList lines = FileNameDelegate::breakLines(name, font, width).split(QChar::LineSeparator);
            QVERIFY(lines.size() >= 2);
            QCOMPARE(lines.join(QString()), name);
            for (const QString& line : lines)
                QVERIFY2(fm.horizontalAdvance(line) <= width + 1, qPrintable(line));
        }
        // A limit on the lines cuts the last one short.
        const QStringList two = FileNameDelegate::breakLines(QStringLiteral("報告書のとても長い名前.txt"), font, width, 2)
                                    .split(QChar::LineSeparator);
        QCOMPARE(two.size(), 2);
        QVERIFY(two[1].endsWith(QChar(0x2026)));
        QVERIFY(fm.horizontalAdvance(two[1]) <= width + 1);
        // Names that fit stay as they are; without a width nothing is broken.
        QCOMPARE(FileNameDelegate::breakLines(QStringLiteral("a.txt"), font, width), QStringLiteral("a.txt"));
        QCOMPARE(FileNameDelegate::breakLines(QStringLiteral("anything"), font, 0), QStringLiteral("anything"));
    }

    void itemClickSetsTheListClickFlag()
    {
        makeFile(root() + "file");
        FakeBrowseHost host;
        host.list.resize(400, 300);
        host.list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.list));
        host.list.ListFolder(root());
        host.list.setView(3);
        QCoreApplication::processEvents();
        QTreeView* view = host.list.detailsView();
        const QRect rect = view->visualRect(host.list.model()->index(0, 0));
        QVERIFY(rect.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(host.listClicked());
        QCOMPARE(host.list.selectedItems().size(), 1);
    }

    void labelEditReportsTheNewNameAndLeavesTheListAlone()
    {
        makeFile(root() + "old.txt");
        FakeBrowseHost host;
        host.list.resize(400, 300);
        host.list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.list));
        host.list.ListFolder(root());
        QSignalSpy before(&host.list, &FileListView::beforeLabelEdit);
        QSignalSpy after(&host.list, &FileListView::afterLabelEdit);

        for (int mode : {0, 3}) {
            host.list.setView(mode);
            QVERIFY(host.list.selectOnly(root() + "old.txt"));
            QVERIFY(host.list.startLabelEdit(root() + "old.txt"));
            auto* editor = host.list.currentView()->findChild<QLineEdit*>();
            QVERIFY(editor);
            editor->setText(QStringLiteral("new.txt"));
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(after.count(), 1);
            QCOMPARE(after.first().at(0).toString(), root() + "old.txt");
            QCOMPARE(after.first().at(1).toString(), QStringLiteral("old.txt"));
            QCOMPARE(after.first().at(2).toString(), QStringLiteral("new.txt"));
            QCOMPARE(host.list.item(0).name, QStringLiteral("old.txt"));
            after.clear();

            // Escape cancels: reported with an empty name.
            QVERIFY(host.list.startLabelEdit(root() + "old.txt"));
            editor = host.list.currentView()->findChild<QLineEdit*>();
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_Escape);
            QTRY_COMPARE(after.count(), 1);
            QCOMPARE(after.first().at(2).toString(), QString());
            after.clear();
        }
        QCOMPARE(before.count(), 4);
        QCOMPARE(before.first().at(0).toString(), root() + "old.txt");

        // A handler may refuse the edit before it begins.
        connect(&host.list, &FileListView::beforeLabelEdit, this,
                [](const QString&, const QString&, bool* cancel) { *cancel = true; });
        QVERIFY(!host.list.startLabelEdit(root() + "old.txt"));
        QVERIFY(!host.list.startLabelEdit(root() + "missing"));
        QCoreApplication::processEvents();  // delivers any queued report
        QCOMPARE(after.count(), 0);
    }

    void unreadableFolderListsNothingSilently()
    {
        FakeBrowseHost host;
        host.list.ListFolder(root() + "missing/");
        host.list.ListFolder(QString());
        QCOMPARE(host.list.count(), 0);
        QVERIFY(host.prompts.questions().isEmpty());
    }

    void iconCacheKeys()
    {
        using namespace Attributes;
        QCOMPARE(IconCacheKey("readme", 0), QStringLiteral("README"));
        QCOMPARE(IconCacheKey("a.tar.gz", 0), QStringLiteral(".GZ"));
        QCOMPARE(IconCacheKey("Setup.exe", 0), QStringLiteral("Setup.exe"));
        QCOMPARE(IconCacheKey("x.Ico", 0), QStringLiteral("x.Ico"));
        QCOMPARE(IconCacheKey("data.exe", Directory), QStringLiteral("Folder"));
        QCOMPARE(IconCacheKey("Fonts", Directory | ReadOnly), QStringLiteral("Fonts"));
        QCOMPARE(IconCacheKey("dev", Directory | System | Hidden), QStringLiteral("dev"));
        QCOMPARE(IconCacheKey(".bashrc", Hidden), QStringLiteral(".BASHRC"));
    }

    void iconsAreFetchedOncePerKind()
    {
        for (const char* name : {"a.txt", "b.TXT", "c.txt", "d.png", "e.png"})
            makeFile(root() + name);
        makeFolder(root() + "f1");
        makeFolder(root() + "f2");
        makeFile(root() + "FOLDER");  // a file whose key is the folders' key text
        FakeBrowseHost host;
        host.list.ListFolder(root());
        // .TXT, .PNG, plain folders, and the file FOLDER apart from the folders.
        QCOMPARE(host.list.model()->cachedIconCount(), 4);
        QVERIFY(host.list.model()->hasCachedIcon("Folder", true));
        QVERIFY(host.list.model()->hasCachedIcon("FOLDER", false));
        for (int i = 0; i < host.list.count(); ++i)
            QVERIFY(!host.list.model()->index(i, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    }

    void newFolderNames()
    {
        QCOMPARE(GetNewFolderName(root()), QStringLiteral("NewFolder"));
        makeFolder(root() + "NewFolder1");
        QCOMPARE(GetNewFolderName(dir_->path()), QStringLiteral("NewFolder"));
        makeFolder(root() + "NewFolder");
        QCOMPARE(GetNewFolderName(root()), QStringLiteral("NewFolder2"));
        // Any entry of the name blocks it, a plain file or a dangling link too.
        makeFile(root() + "NewFolder2");
        QFile::link(root() + "nowhere", root() + "NewFolder3");
        QCOMPARE(GetNewFolderName(root()), QStringLiteral("NewFolder4"));
    }

    void newFolderNameWhenAllAreTaken()
    {
        makeFolder(root() + "NewFolder");
        for (int n = 1; n <= 9999; ++n)
            makeFile(root() + QStringLiteral("NewFolder%1").arg(n));
        QCOMPARE(GetNewFolderName(root()), QString());
    }
};

QTEST_MAIN(tst_FileListView)
#include "tst_FileListView.moc"
