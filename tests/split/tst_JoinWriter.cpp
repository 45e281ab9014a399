#include "platform/ScriptedProgress.h"
#include "split/JoinWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using TestFiles::read;
using TestFiles::write;

// The join engine on real files: the bytes it writes, where it writes them, and
// what it leaves behind when it is cancelled or fails.
class tst_JoinWriter : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedProgress progress_;

    QString path(const QString& name) const { return dir_->path() + QLatin1Char('/') + name; }

    static QByteArray pattern(int size, char seed)
    {
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char(seed + i * 7 + i / 251);
        return data;
    }
    // The folder's entries: a join must leave no temporary file behind.
    QStringList listing(const QString& folder = {}) const
    {
        return QDir(folder.isEmpty() ? dir_->path() : folder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    // Three entries "a", "b", "c" of different sizes.
    QStringList threeEntries()
    {
        write(path("a"), pattern(1000, 'a'));
        write(path("b"), pattern(3000, 'b'));
        write(path("c"), pattern(17, 'c'));
        return {path("a"), path("b"), path("c")};
    }
    QByteArray threeJoined() const { return pattern(1000, 'a') + pattern(3000, 'b') + pattern(17, 'c'); }

    static JoinWriter::FindMissing noneMissing()
    {
        return [](const QString& entry) -> std::optional<QString> {
            QTest::qFail(qPrintable("unexpected question for " + entry), __FILE__, __LINE__);
            return std::nullopt;
        };
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        progress_ = ScriptedProgress();
    }

    void entriesAreWrittenOneAfterAnotherWithProgress()
    {
        const QStringList entries = threeEntries();
        const JoinWriter::Result result = JoinWriter::join(entries, path("out"), progress_, noneMissing());
        QVERIFY(result.ok);
        QVERIFY(!result.cancelled);
        QCOMPARE(read(path("out")), threeJoined());
        QCOMPARE(progress_.captions, QStringList {"結合"});
        QCOMPARE(progress_.total, 4017);
        QCOMPARE(progress_.items, (QStringList {"a (1/3)", "b (2/3)", "c (3/3)"}));
        QCOMPARE(progress_.lastDone, 4017);
        QCOMPARE(progress_.finishes, 1);
        QCOMPARE(listing(), (QStringList {"a", "b", "c", "out"}));
    }

    void emptyEntriesAndAnEmptyJoin()
    {
        write(path("e1"), {});
        write(path("x"), "xyz");
        write(path("e2"), {});
        QVERIFY(JoinWriter::join({path("e1"), path("x"), path("e2")}, path("out"), progress_, noneMissing()).ok);
        QCOMPARE(read(path("out")), QByteArray("xyz"));
        QVERIFY(JoinWriter::join({path("e1")}, path("empty"), progress_, noneMissing()).ok);
        QVERIFY(QFile::exists(path("empty")));
        QCOMPARE(QFileInfo(path("empty")).size(), 0);
    }

    void joiningIntoEntryZeroGivesTheConcatenation()
    {
        const QStringList entries = threeEntries();
        QVERIFY(JoinWriter::join(entries, path("a"), progress_, noneMissing()).ok);
        QCOMPARE(read(path("a")), threeJoined());
        QCOMPARE(read(path("b")), pattern(3000, 'b'));
        QCOMPARE(listing(), (QStringList {"a", "b", "c"}));
    }

    void joiningIntoALaterEntryReadsItBeforeReplacingIt()
    {
        const QStringList entries = threeEntries();
        QVERIFY(JoinWriter::join(entries, path("b"), progress_, noneMissing()).ok);
        QCOMPARE(read(path("b")), threeJoined());
        QCOMPARE(read(path("a")), pattern(1000, 'a'));
        QCOMPARE(listing(), (QStringList {"a", "b", "c"}));
    }

    void aLongerExistingOutputIsReplacedWholeAndKeepsItsPermissions()
    {
        const QStringList entries = threeEntries();
        write(path("out"), pattern(100000, 'z'));
        QVERIFY(::chmod(QFile::encodeName(path("out")).constData(), 0640) == 0);
        QVERIFY(JoinWriter::join(entries, path("out"), progress_, noneMissing()).ok);
        QCOMPARE(read(path("out")), threeJoined());
        QCOMPARE(QFileInfo(path("out")).permissions() & 0x7777,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    }

    void aNewOutputIsNoMoreReadableThanItsEntries()
    {
        const mode_t oldMask = ::umask(022);
        const QStringList entries = threeEntries();
        for (const QString& entry : entries)
            QVERIFY(::chmod(QFile::encodeName(entry).constData(), 0644) == 0);
        const bool open = JoinWriter::join(entries, path("open"), progress_, noneMissing()).ok;
        QVERIFY(::chmod(QFile::encodeName(path("b")).constData(), 0600) == 0);
        const bool secret = JoinWriter::join(entries, path("secret"), progress_, noneMissing()).ok;
        ::umask(oldMask);
        QVERIFY(open && secret);
        const auto modeOf = [this](const QString& name) {
            struct stat st;
            return ::stat(QFile::encodeName(path(name)).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
        };
        QCOMPARE(modeOf("open"), 0644);
        QCOMPARE(modeOf("secret"), 0600);
        QCOMPARE(read(path("secret")), threeJoined());
    }

    void aReplacedFileKeepsItsOwnerWhereThatIsAllowed()
    {
        if (::geteuid() != 0)
            QSKIP("only root may give a file away");
        const QStringList entries = threeEntries();
        write(path("theirs"), "old");
        QVERIFY(::chown(QFile::encodeName(path("theirs")).constData(), 65534, 65534) == 0);
        QVERIFY(JoinWriter::join(entries, path("theirs"), progress_, noneMissing()).ok);
        QCOMPARE(QFileInfo(path("theirs")).ownerId(), 65534u);
        QCOMPARE(QFileInfo(path("theirs")).groupId(), 65534u);
        QCOMPARE(read(path("theirs")), threeJoined());
    }

    void aLinkAtTheOutputIsWrittenThrough()
    {
        const QStringList entries = threeEntries();
        write(path("real"), "old");
        QVERIFY(QFile::link(path("real"), path("link")));
        QVERIFY(JoinWriter::join(entries, path("link"), progress_, noneMissing()).ok);
        QVERIFY(QFileInfo(path("link")).isSymLink());
        QCOMPARE(read(path("real")), threeJoined());
    }

    void cancelAtAnyReportLeavesNothingAndTheOldOutputUntouched_data()
    {
        QTest::addColumn<int>("report");
        QTest::addColumn<bool>("outputExisted");
        QTest::newRow("before the first entry") << 1 << false;
        QTest::newRow("after the first entry") << 2 << false;
        QTest::newRow("before the last entry") << 5 << false;
        QTest::newRow("first, over an old file") << 1 << true;
        QTest::newRow("last, over an old file") << 6 << true;
    }
    void cancelAtAnyReportLeavesNothingAndTheOldOutputUntouched()
    {
        QFETCH(int, report);
        QFETCH(bool, outputExisted);
        const QStringList entries = threeEntries();
        if (outputExisted)
            write(path("out"), "precious");
        progress_.cancelAtReport(report);
        const JoinWriter::Result result = JoinWriter::join(entries, path("out"), progress_, noneMissing());
        QVERIFY(!result.ok);
        QVERIFY(result.cancelled);
        QCOMPARE(progress_.finishes, 1);
        QCOMPARE(read(path("out")), outputExisted ? QByteArray("precious") : QByteArray("<unreadable>"));
        const QStringList left = outputExisted ? QStringList {"a", "b", "c", "out"} : QStringList {"a", "b", "c"};
        QCOMPARE(listing(), left);
    }

    void cancelInsideALargeEntryLeavesEntryZeroIntact()
    {
        // Larger than one chunk of the copier, so the copy reports in between.
        const QByteArray big = pattern(9 << 20, 'q');
        write(path("big"), big);
        write(path("tail"), "tail");
        progress_.cancelAtReport(2);
        const JoinWriter::Result result =
            JoinWriter::join({path("big"), path("tail")}, path("big"), progress_, noneMissing());
        QVERIFY(result.cancelled);
        QCOMPARE(progress_.reports, 2);
        QVERIFY(read(path("big")) == big);
        QCOMPARE(listing(), (QStringList {"big", "tail"}));
    }

    void aMissingEntryIsReadFromWhereFindMissingPoints()
    {
        const QStringList entries = threeEntries();
        QVERIFY(QDir(dir_->path()).mkdir("other"));
        QVERIFY(QFile::rename(path("b"), path("other/b2")));
        QStringList asked;
        const JoinWriter::Result result = JoinWriter::join(
            entries, path("out"), progress_, [&](const QString& entry) -> std::optional<QString> {
                asked << entry;
                return path("other/b2");
            });
        QVERIFY(result.ok);
        QCOMPARE(asked, QStringList {path("b")});
        QCOMPARE(read(path("out")), threeJoined());
        // Sizes known at the start: the missing entry is not among them.
        QCOMPARE(progress_.total, 1017);
    }

    void aSuppliedPathWithNoFileIsAskedForAgain()
    {
        const QStringList entries = threeEntries();
        QVERIFY(QFile::rename(path("c"), path("c.moved")));
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        QStringList answers {path("typo"), path("folder"), path("c.moved")};
        int questions = 0;
        const JoinWriter::Result result = JoinWriter::join(
            entries, path("out"), progress_, [&](const QString& entry) -> std::optional<QString> {
                [&] { QCOMPARE(entry, path("c")); }();
                return answers.value(questions++);
            });
        QVERIFY(result.ok);
        QCOMPARE(questions, 3);
        QCOMPARE(read(path("out")), threeJoined());
    }

    void givingUpOnAMissingEntryWritesNothing()
    {
        const QStringList entries = threeEntries();
        write(path("out"), "precious");
        QVERIFY(QFile::remove(path("b")));
        const JoinWriter::Result result = JoinWriter::join(
            entries, path("out"), progress_, [](const QString&) { return std::optional<QString>(); });
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok);
        QCOMPARE(read(path("out")), QByteArray("precious"));
        QCOMPARE(listing(), (QStringList {"a", "c", "out"}));
    }

    void failuresAreReportedAndLeaveNothing()
    {
        const QStringList entries = threeEntries();
        // A FIFO would block a reader forever: it is refused, not read.
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0644) == 0);
        JoinWriter::Result result =
            JoinWriter::join({path("a"), path("fifo")}, path("out"), progress_, noneMissing());
        QVERIFY(!result.ok);
        QVERIFY(!result.cancelled);
        QVERIFY(result.error.contains(path("fifo")));
        QVERIFY(!QFile::exists(path("out")));

        // No destination folder.
        result = JoinWriter::join(entries, path("gone/out"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(result.error.contains(path("gone/out")));
        QVERIFY(result.error.contains("見付かりません"));

        // A folder of the output's name.
        QVERIFY(QDir(dir_->path()).mkdir("taken"));
        result = JoinWriter::join(entries, path("taken"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(result.error.contains("フォルダ"));
        QVERIFY(QDir(path("taken")).isEmpty());

        QCOMPARE(listing(), (QStringList {"a", "b", "c", "fifo", "taken"}));
    }

    void aPipeAtTheOutputIsNeverReplacedNorThroughALink()
    {
        const QStringList entries = threeEntries();
        QVERIFY(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0644) == 0);
        JoinWriter::Result result = JoinWriter::join(entries, path("pipe"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(result.error.contains(path("pipe")));
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(path("pipe")).constData(), &st) == 0);
        QVERIFY(S_ISFIFO(st.st_mode));

        // Through a link the node it names is what would be replaced.
        QVERIFY(QFile::link(path("pipe"), path("link")));
        result = JoinWriter::join(entries, path("link"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(::lstat(QFile::encodeName(path("pipe")).constData(), &st) == 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QCOMPARE(listing(), (QStringList {"a", "b", "c", "link", "pipe"}));
    }

    void readOnlyFilesAndFoldersAreNotWritten()
    {
        if (::geteuid() == 0)
            QSKIP("root may write anywhere");
        const QStringList entries = threeEntries();
        write(path("locked"), "keep me");
        QVERIFY(::chmod(QFile::encodeName(path("locked")).constData(), 0444) == 0);
        JoinWriter::Result result = JoinWriter::join(entries, path("locked"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(result.error.contains("アクセスが拒否されました"));
        QCOMPARE(read(path("locked")), QByteArray("keep me"));

        QVERIFY(QDir(dir_->path()).mkdir("ro"));
        QVERIFY(::chmod(QFile::encodeName(path("ro")).constData(), 0555) == 0);
        result = JoinWriter::join(entries, path("ro/out"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(listing(path("ro")).isEmpty());

        // An entry nobody may read.
        QVERIFY(::chmod(QFile::encodeName(path("b")).constData(), 0) == 0);
        result = JoinWriter::join(entries, path("out"), progress_, noneMissing());
        QVERIFY(!result.ok && !result.cancelled);
        QVERIFY(result.error.contains(path("b")));
        QVERIFY(!QFile::exists(path("out")));
        ::chmod(QFile::encodeName(path("ro")).constData(), 0755);
        ::chmod(QFile::encodeName(path("b")).constData(), 0644);
    }
};

QTEST_APPLESS_MAIN(tst_JoinWriter)
#include "tst_JoinWriter.moc"
