#include "archive/ArchiveState.h"
#include "archive/EntryListModel.h"
#include "archive/LibraryArchiver.h"
#include "archive/frmExtract.h"
#include "platform/ScriptedProgress.h"
#include "platform/ScriptedPrompter.h"

#include "archivers/common/ArchiverApi.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

// The viewer on an LZH archive made by the real library, listed by it
// (the libraries load from the program's own folder).
class tst_ViewerLibraries : public QObject {
    Q_OBJECT
private:
    static void write(const QString& path, const QByteArray& data, const QDateTime& time)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.flush();  // a later flush would set the time again
        QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
    }

private slots:
    void viewerListsARealArchive()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + '/';
        const QDateTime time(QDate(2001, 2, 3), QTime(4, 5, 6));
        write(root + "src/README", "hi\n", time);
        write(root + "src/docs/a.txt", QByteArray("hello\n").repeated(2000), time);
        write(root + "src/docs/b.bin", QByteArray(), time);

        LibraryArchiver archiver;
        ScriptedPrompter prompter;
        ArchiveUi ui{prompter, nullptr, [] { return std::make_unique<ScriptedProgress>(); }};
        ArchiverCall call;
        call.commandLine = "a -x1 -r2 -jm2 \"" + root + "x.lzh\" \"" + root + "src/\" \"*.*\"";
        const ArchiverOutcome made = archiver.run(call, ui);
        QVERIFY2(made.loaded, qPrintable(made.loadError));
        QCOMPARE(made.result, int(KA_OK));

        ArchiveState state;
        state.archivePath = root + "x.lzh";
        frmExtract viewer(archiver, state, prompter);
        EntryListModel& m = *viewer.model();
        QMap<QString, QStringList> rows;
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList cells;
            for (int c = 1; c < EntryListModel::ColumnCount; ++c)
                cells << m.index(r, c).data().toString();
            rows.insert(m.index(r, 0).data().toString(), cells);
        }
        QCOMPARE(rows.keys(), QStringList({"README", "docs/", "docs/a.txt", "docs/b.bin"}));
        const QString date = QStringLiteral("2001/02/03 04:05:06");
        QCOMPARE(rows["docs/a.txt"].mid(0, 2), QStringList({"12000", "---A"}));
        QCOMPARE(rows["docs/a.txt"][2], QStringLiteral("-lh5-"));
        // Text this repetitive packs to well under a twentieth of its size.
        const QString ratio = rows["docs/a.txt"][3];
        QVERIFY2(QRegularExpression("^\\d+(\\.\\d)?%$").match(ratio).hasMatch(), qPrintable(ratio));
        QVERIFY2(ratio.chopped(1).toDouble() < 5, qPrintable(ratio));
        QCOMPARE(rows["docs/a.txt"][4], date);
        QCOMPARE(rows["README"], QStringList({"3", "---A", "-lh0-", "100%", date}));
        QCOMPARE(rows["docs/"][2], QStringLiteral("-lhd-"));
        QCOMPARE(viewer.selectedEntries().size(), 4);
        QCOMPARE(m.index(m.rowCount() - 1, 0).data(EntryListModel::SmallIconKeyRole).isNull(), false);
        QCOMPARE(prompter.questions().size(), 0);
    }
};

QTEST_MAIN(tst_ViewerLibraries)
#include "tst_ViewerLibraries.moc"
