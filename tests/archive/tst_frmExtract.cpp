#include "archive/ArchiveState.h"
#include "archive/EntryCells.h"
#include "archive/EntryIconKeys.h"
#include "archive/EntryListModel.h"
#include "platform/ClockStatusBar.h"
#include "archive/frmExtract.h"
#include "platform/ScriptedProgress.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Twips.h"
#include "support/RecordingArchiver.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QSet>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

namespace {

// Lists like RecordingArchiver, marking the names in `cut` as cut by the
// library, and remembers which library each listing asked for.
struct CuttingArchiver : RecordingArchiver {
    QSet<QString> cut;
    QList<ArchiverKind> kinds;
    QString loadError;  // non-empty: the library cannot be loaded

    bool list(ArchiverKind kind, const QString& path, ArchiveUi& ui,
              const std::function<void(const EntryInfo&)>& onEntry, ArchiverOutcome* outcome) override
    {
        kinds << kind;
        if (!loadError.isEmpty()) {
            outcome->loaded = false;
            outcome->loadError = loadError;
            return false;
        }
        return RecordingArchiver::list(kind, path, ui, [&](const EntryInfo& entry) {
            EntryInfo copy = entry;
            if (cut.contains(QString::fromUtf8(entry.name)))
                copy.flags |= ENTRY_FLAG_NAME_CUT;
            onEntry(copy);
        }, outcome);
    }
};

} // namespace

// The archive viewer over a recording Archiver: its cells, icons, selection,
// the commands offered per type, the load messages and the layout.
class tst_frmExtract : public QObject {
    Q_OBJECT
private:
    CuttingArchiver archiver_;
    ArchiveState state_;
    ScriptedPrompter prompter_;

    std::unique_ptr<frmExtract> open(const QString& path)
    {
        state_.archivePath = path;
        auto viewer = std::make_unique<frmExtract>(archiver_, state_, prompter_);
        viewer->setProgressFactory([] { return std::make_unique<ScriptedProgress>(); });
        return viewer;
    }
    static QString cell(const frmExtract& v, int row, int column)
    {
        return v.model()->index(row, column).data().toString();
    }
    static QStringList column(const frmExtract& v, int c)
    {
        QStringList texts;
        for (int r = 0; r < v.model()->rowCount(); ++r)
            texts << cell(v, r, c);
        return texts;
    }
    static QStringList keys(const frmExtract& v, int role)
    {
        QStringList texts;
        for (int r = 0; r < v.model()->rowCount(); ++r)
            texts << v.model()->index(r, 0).data(role).toString();
        return texts;
    }
    // The entry commands a viewer offers, by toolbar key and menu item name.
    static QStringList enabled(const frmExtract& v)
    {
        QStringList on;
        for (const QString& key : frmExtract::buttonKeys())
            if (!key.isEmpty() && key != QStringLiteral("終了") && v.toolbarButton(key)->isEnabled())
                on << key;
        for (QAction* a : {v.menus.mnuFileAdd, v.menus.mnuFileDelete, v.menus.mnuFileMelt,
                           v.menus.mnuFileSFX, v.menus.mnuEditChangeName})
            if (a->isEnabled())
                on << a->objectName();
        return on;
    }

private slots:
    void initTestCase() { Twips::overridePerPixel(15); }
    void init()
    {
        archiver_ = CuttingArchiver();
        prompter_ = ScriptedPrompter();
    }
    void cleanup() { QCOMPARE(prompter_.pendingAnswers(), 0); }

    // Every cell as the record gives it, in the library's order, a name given
    // twice listed twice, a cut name marked in its text only, and the whole
    // list selected after loading.
    void listingShowsEachRecord()
    {
        using E = RecordingArchiver::Entry;
        E folder{"docs/", 0, "----", "-lhd-", 0};
        E text{"docs/a.txt", 12000, "---A", "-lh5-", 523};
        E readme{"README", 3, "---A", "-lh0-", 1000, 0, 0};
        E dotted{"a.b/c", 10, "---A", "-lh5-", 500, 0x2D8F, 0xC000};  // hour 24
        E backslash{"sub\\", 0, "----", "-lh0-", 0};
        E again = text;
        E cut{std::string(20, 'n').c_str(), 1, "---A", "-lh5-", -5};
        archiver_.archives.insert("/a/x.lzh", {folder, text, readme, dotted, backslash, again, cut});
        archiver_.cut.insert(cut.name);
        auto v = open("/a/x.lzh");

        QCOMPARE(state_.archiveType, QStringLiteral("LZH"));
        QCOMPARE(archiver_.kinds, QList<ArchiverKind>{ArchiverKind::Unlha});
        QCOMPARE(v->lblTitle->text(), QStringLiteral("/a/x.lzh"));
        QCOMPARE(v->itemCount(), 7);
        const QString cutName = cut.name;
        QCOMPARE(keys(*v, EntryListModel::KeyRole),
                 QStringList({"docs/", "docs/a.txt", "README", "a.b/c", "sub\\", "docs/a.txt", cutName}));
        QCOMPARE(column(*v, 0),
                 QStringList({"docs/", "docs/a.txt", "README", "a.b/c", "sub\\", "docs/a.txt", cutName + "…"}));
        QCOMPARE(column(*v, 1), QStringList({"0", "12000", "3", "10", "0", "12000", "1"}));
        QCOMPARE(column(*v, 2), QStringList({"----", "---A", "---A", "---A", "----", "---A", "---A"}));
        QCOMPARE(column(*v, 3), QStringList({"-lhd-", "-lh5-", "-lh0-", "-lh5-", "-lh0-", "-lh5-", "-lh5-"}));
        QCOMPARE(column(*v, 4), QStringList({"0%", "52.3%", "100%", "50%", "0%", "52.3%", "-0.5%"}));
        QCOMPARE(cell(*v, 1, 5), QStringLiteral("2002/12/15 16:14:08"));
        QCOMPARE(cell(*v, 2, 5), QString());  // date 0 is no date
        QCOMPARE(cell(*v, 3, 5), QString());  // nor is hour 24

        // All selected, in list order, the twice-given name twice.
        QCOMPARE(v->selectedEntries(), keys(*v, EntryListModel::KeyRole));
        QCOMPARE(v->selectedCutEntries(), QStringList{cutName});
        v->mnuEditSelectCancel_Click();
        QVERIFY(v->selectedEntries().isEmpty());
        v->mnuEditSelectAll_Click();
        QCOMPARE(v->selectedEntries().size(), 7);

        // Icons: the folder's own, by extension, by the whole dotless name;
        // each picture once per list.
        const QStringList small = keys(*v, EntryListModel::SmallIconKeyRole);
        QCOMPARE(small[0], QStringLiteral("SICON:folder"));
        QCOMPARE(small[1], "SICON:" + EntryIconKeys::iconName("*.txt"));
        QCOMPARE(small[2], "SICON:" + EntryIconKeys::iconName("README"));
        QCOMPARE(small[3], "SICON:" + EntryIconKeys::iconName("*.b/c"));
        QCOMPARE(keys(*v, EntryListModel::LargeIconKeyRole)[0], QStringLiteral("LICON:folder"));
        QCOMPARE(v->SmallIconImageList.count(), int(QSet<QString>(small.begin(), small.end()).size()));
        QCOMPARE(v->LargeIconImageList.count(), v->SmallIconImageList.count());
        QVERIFY(!v->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

        // Listing again keeps the order and the icons and selects nothing.
        QVERIFY(v->listAgain());
        QCOMPARE(v->itemCount(), 7);
        QCOMPARE(keys(*v, EntryListModel::SmallIconKeyRole), small);
        QVERIFY(!v->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(v->selectedEntries().isEmpty());
    }

    // The texts of the cells on their own: classes, ratios, dates, and sizes
    // past 2 GiB, which a 32-bit cell would turn negative.
    void cellTexts()
    {
        QCOMPARE(EntryCells::iconClass("docs/", false), QStringLiteral("/"));
        QCOMPARE(EntryCells::iconClass("sub\\", true), QStringLiteral("/"));
        QCOMPARE(EntryCells::iconClass("sub\\", false), QStringLiteral("sub\\"));
        QCOMPARE(EntryCells::iconClass("a.b/c", false), QStringLiteral("*.b/c"));
        QCOMPARE(EntryCells::iconClass("x.tar.gz", false), QStringLiteral("*.gz"));
        QCOMPARE(EntryIconKeys::typeName("docs/README"), QStringLiteral("README"));
        QCOMPARE(EntryIconKeys::typeName("*.b/c"), QStringLiteral("c"));
        QCOMPARE(EntryIconKeys::typeName("/"), QStringLiteral("/"));
        QCOMPARE(EntryCells::ratioText(0), QStringLiteral("0%"));
        QCOMPARE(EntryCells::ratioText(1234), QStringLiteral("123.4%"));
        QCOMPARE(EntryCells::dateText(0x0021, 0), QStringLiteral("1980/01/01 00:00:00"));
        QCOMPARE(EntryCells::dateText(0x2D8F, 0xBF7D), QStringLiteral("2002/12/15 23:59:58"));
        QCOMPARE(EntryCells::dateText(0x2DAF, 0), QString());  // month 13
        QCOMPARE(EntryCells::dateText(0x2C5E, 0), QString());  // 2002/02/30

        EntryListModel model;
        EntryListModel::Row big;
        big.name = QStringLiteral("big.iso");
        big.size = 5'000'000'000LL;
        EntryListModel::Row edge = big;
        edge.size = 2'147'483'648LL;
        model.setRows({big, edge});
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("5000000000"));
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("2147483648"));
    }

    // Columns, shortcuts and bars as built, once; the toolbar's close button.
    void controlsAreBuiltAsDesigned()
    {
        archiver_.archives.insert("/a/x.lzh", {{"a.txt"}});
        auto v = open("/a/x.lzh");
        QCOMPARE(v->windowTitle(), QStringLiteral("解凍"));
        const QStringList headers{"ファイル名", "サイズ", "状態", "格納法", "圧縮率", "日付"};
        const int widths[] = {200, 100, 60, 53, 57, 120};  // twips / 15
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(v->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
            if (c < 5)
                QCOMPARE(v->lvListView->columnWidth(c), widths[c]);
            else
                QVERIFY(v->lvListView->columnWidth(c) >= widths[c]);
        }
        QVERIFY(v->model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        QVERIFY(v->model()->index(0, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        QVERIFY(v->model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);

        const frmExtract::Menus& m = v->menus;
        QCOMPARE(m.mnuFileDelete->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(m.mnuEditSelectAll->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        QVERIFY(m.mnuViewToolbar->isChecked() && m.mnuViewStatusBar->isChecked());

        QCOMPARE(v->sbStatusBar->panel(0)->text(), QStringLiteral("ｽﾃｰﾀｽ"));

        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v.get()));
        v->tbToolBar_ButtonClick(QStringLiteral("終了"));
        QTRY_VERIFY(!v->isVisible());
    }

    // The commands offered per type, the listing library per type, and the
    // messages of a listing that found nothing or a type not handled.
    void typeDecidesListingAndCommands()
    {
        const QStringList all{"新規作成", "Extract", "EXE", "削除", "mnuFileAdd", "mnuFileDelete",
                              "mnuFileMelt", "mnuFileSFX", "mnuEditChangeName"};
        archiver_.archives.insert("/a/x.Lzh", {{"a.txt"}});
        archiver_.archives.insert("/a/x.zip", {{"a.txt"}});
        archiver_.archives.insert("/a/x.cab", {{"a.txt"}, {"sub\\"}});
        QCOMPARE(enabled(*open("/a/x.Lzh")), all);
        QCOMPARE(enabled(*open("/a/x.zip")), QStringList({"Extract", "mnuFileMelt"}));
        auto cab = open("/a/x.cab");
        QCOMPARE(enabled(*cab), QStringList({"Extract", "EXE", "mnuFileMelt", "mnuFileSFX"}));
        QCOMPARE(column(*cab, EntryListModel::RatioColumn), QStringList({"--%", "--%"}));
        QCOMPARE(keys(*cab, EntryListModel::SmallIconKeyRole)[1], QStringLiteral("SICON:folder"));
        QCOMPARE(archiver_.kinds, QList<ArchiverKind>({ArchiverKind::Unlha, ArchiverKind::UnZip, ArchiverKind::Cab}));

        prompter_.answerMessage(Prompter::Answer::Ok, "そのﾌｧｲﾙ形式はｻﾎﾟｰﾄしていません");
        auto other = open("/a/x.lha");
        QCOMPARE(state_.archiveType, QStringLiteral("LHA"));
        QVERIFY(enabled(*other).isEmpty());
        QCOMPARE(archiver_.kinds.size(), 3);

        prompter_.answerMessage(Prompter::Answer::Ok, "ZIPﾌｧｲﾙの読込みができませんでした");
        auto empty = open("/a/empty.zip");
        QCOMPARE(empty->itemCount(), 0);
        for (const ScriptedPrompter::Question& q : prompter_.questions()) {
            QCOMPARE(q.icon, Prompter::Icon::Information);
            QCOMPARE(q.title, QStringLiteral("Kestrel"));
        }

        // A library that cannot be loaded is named, with the reason.
        archiver_.loadError = QStringLiteral("libcab32.so: not found");
        prompter_.answerMessage(Prompter::Answer::Ok, "cab32 を読み込めませんでした。\nlibcab32.so: not found");
        prompter_.answerMessage(Prompter::Answer::Ok, "CABﾌｧｲﾙの読込みができませんでした");
        QCOMPARE(open("/a/x.cab")->itemCount(), 0);
    }

    // Hiding the toolbar brings the list up under the title strip; hiding the
    // status bar lets it reach the bottom; the window is never narrower than
    // 3000 twips.
    void layoutFollowsTheBars()
    {
        archiver_.archives.insert("/a/x.lzh", {{"a.txt"}});
        auto v = open("/a/x.lzh");
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v.get()));
        QWidget* client = v->lvListView->parentWidget();
        const auto check = [&](int top, int bottom) {
            QTRY_COMPARE(v->lvListView->y(), top);
            QCOMPARE(v->lvListView->y() + v->lvListView->height(), bottom);
            QCOMPARE(v->lvListView->x(), Twips::toPixelsX(40));
            QCOMPARE(v->lvListView->width(), Twips::toPixelsX(v->windowWidth() - 140));
            QCOMPARE(v->lblTitle->x(), v->lvListView->x() + Twips::toPixelsX(20));
        };
        const int toolbar = v->tbToolBar->height();
        const int titles = v->picTitles->height();
        const int status = v->sbStatusBar->height();
        QCOMPARE(toolbar, 28);
        QCOMPARE(titles, 20);
        QCOMPARE(status, 18);
        check(toolbar + titles, client->height() - status);

        v->menus.mnuViewToolbar->trigger();
        QVERIFY(v->tbToolBar->isHidden());
        check(titles, client->height() - status);
        v->menus.mnuViewStatusBar->trigger();
        QVERIFY(v->sbStatusBar->isHidden());
        check(titles, client->height());
        v->menus.mnuViewToolbar->trigger();
        check(toolbar + titles, client->height());

        v->resize(50, v->height());
        QTRY_COMPARE(v->frameGeometry().width(), Twips::toPixelsX(3000));
    }
};

QTEST_MAIN(tst_frmExtract)
#include "tst_frmExtract.moc"
