#include "platform/ScriptedProgress.h"
#include "platform/TrashInfo.h"
#include "platform/TrashService.h"
#include "platform/TrashTreeRemover.h"
#include "support/Pinned.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using TestFiles::read;
using TestFiles::write;

// Runs `work` in a child process with a mount namespace of its own (and a
// user namespace when not root), so that it may bind-mount folders without
// touching the machine's mounts. The child's exit code comes back; 77 means
// the machine allows no such namespace.
int inOwnMountNamespace(const std::function<int()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (uid != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                ::_exit(77);
            const auto put = [](const char* file, const QByteArray& text) {
                QFile f(QString::fromLatin1(file));
                return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
            };
            if (!put("/proc/self/setgroups", "deny") || !put("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
                || !put("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))
                ::_exit(77);
        } else if (::unshare(CLONE_NEWNS) != 0) {
            ::_exit(77);
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(77);
        ::_exit(work());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Each test stands a small world in a temporary folder: a "home volume"
// (the folder itself) holding the home trash in data/Trash, and fake
// volumes vol*/ whose top folders the resolver reports as mount points.
class tst_TrashService : public QObject {
    Q_OBJECT
private:
    QString root() const { return dir_->path(); }
    QString uid() const { return QString::number(::getuid()); }
    QString homeTrash() const { return root() + "/data/Trash"; }

    static bool exists(const QString& path)
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    }
    static mode_t modeOf(const QString& path)
    {
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    }
    static QStringList names(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    TrashService service(const QStringList& volumes = {})
    {
        TrashService trash;
        trash.setHomeTrash(homeTrash());
        const QString top = root();
        QStringList tops;
        for (const QString& v : volumes)
            tops << top + '/' + v;
        trash.setVolumeSource([tops] { return tops; });
        trash.setTopdirResolver([top, tops](const QString& path) {
            for (const QString& t : tops)
                if (path == t || path.startsWith(t + '/'))
                    return t;
            return top;
        });
        return trash;
    }

    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }
    void cleanup()
    {
        // Read-only folders left by a test must not stop the clean-up.
        TrashTreeRemover().removePath(root());
        dir_.reset();
    }

    void fileGoesToTheHomeTrashWithItsInfo()
    {
        const QString file = root() + "/work/My Notes/メモ 100%.txt";
        write(file, "keep me");
        TrashService trash = service();
        const TrashService::Result result = trash.trash(file);
        QCOMPARE(result.outcome, TrashService::Outcome::Trashed);
        QVERIFY(!exists(file));
        const QString stored = homeTrash() + "/files/メモ 100%.txt";
        QCOMPARE(result.trashedAs, stored);
        QCOMPARE(read(stored), QByteArray("keep me"));
        const QByteArray info = read(homeTrash() + "/info/メモ 100%.txt.trashinfo");
        const QByteArray canonicalRoot = QFile::encodeName(QFileInfo(root()).canonicalFilePath());
        QVERIFY(info.startsWith("[Trash Info]\nPath=" + TrashInfo::encodePath(canonicalRoot)
                                + "/work/My%20Notes/%E3%83%A1%E3%83%A2%20100%25.txt\n"));
        QVERIFY(QRegularExpression("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")
                    .match(QString::fromLatin1(info)).hasMatch());
        // The trash is made private, and so are its two folders.
        QCOMPARE(modeOf(homeTrash()), mode_t(0700));
        QCOMPARE(modeOf(homeTrash() + "/files"), mode_t(0700));
        QCOMPARE(modeOf(homeTrash() + "/info"), mode_t(0700));
    }

    void foldersAndLinksAreMovedAsTheyAre()
    {
        write(root() + "/work/folder/inner/a.txt", "a");
        write(root() + "/outside.txt", "target");
        QVERIFY(QFile::link(root() + "/outside.txt", root() + "/work/link"));
        TrashService trash = service();
        QCOMPARE(trash.trash(root() + "/work/folder/").outcome, TrashService::Outcome::Trashed);
        QCOMPARE(read(homeTrash() + "/files/folder/inner/a.txt"), QByteArray("a"));
        QCOMPARE(trash.trash(root() + "/work/link").outcome, TrashService::Outcome::Trashed);
        QVERIFY(QFileInfo(homeTrash() + "/files/link").isSymLink());
        QCOMPARE(read(root() + "/outside.txt"), QByteArray("target"));
    }

    void namesInUseAreNeverReplaced()
    {
        write(root() + "/one/a.txt", "first");
        write(root() + "/two/a.txt", "second");
        write(root() + "/three/a.txt", "third");
        write(root() + "/four/a.txt", "fourth");
        TrashService trash = service();
        QCOMPARE(trash.trash(root() + "/one/a.txt").outcome, TrashService::Outcome::Trashed);
        QCOMPARE(trash.trash(root() + "/two/a.txt").trashedAs, homeTrash() + "/files/a.txt.2");
        // An entry without info (left by someone) and an info without entry
        // (a name another program is reserving) both keep their names.
        write(homeTrash() + "/files/a.txt.3", "stray");
        write(homeTrash() + "/info/a.txt.4.trashinfo", "reserved");
        QCOMPARE(trash.trash(root() + "/three/a.txt").trashedAs, homeTrash() + "/files/a.txt.5");
        QCOMPARE(read(homeTrash() + "/files/a.txt"), QByteArray("first"));
        QCOMPARE(read(homeTrash() + "/files/a.txt.2"), QByteArray("second"));
        QCOMPARE(read(homeTrash() + "/files/a.txt.3"), QByteArray("stray"));
        QCOMPARE(read(homeTrash() + "/files/a.txt.5"), QByteArray("third"));
        QCOMPARE(read(homeTrash() + "/info/a.txt.4.trashinfo"), QByteArray("reserved"));
        QVERIFY(!exists(homeTrash() + "/info/a.txt.3.trashinfo"));
        QVERIFY(!exists(homeTrash() + "/files/a.txt.4"));
        QVERIFY(read(homeTrash() + "/info/a.txt.2.trashinfo").contains("/two/a.txt\n"));
        QVERIFY(read(homeTrash() + "/info/a.txt.5.trashinfo").contains("/three/a.txt\n"));
    }

    void longNamesAreCutToFitTheInfoFile()
    {
        // 83 three-byte characters: 249 bytes, too long with ".trashinfo".
        const QString name = QString(83, QChar(0x3042));
        write(root() + "/w/" + name, "x");
        write(root() + "/v/" + name, "y");
        TrashService trash = service();
        const TrashService::Result first = trash.trash(root() + "/w/" + name);
        QCOMPARE(first.outcome, TrashService::Outcome::Trashed);
        QCOMPARE(QFileInfo(first.trashedAs).fileName(), QString(81, QChar(0x3042)));
        const TrashService::Result second = trash.trash(root() + "/v/" + name);
        QCOMPARE(second.outcome, TrashService::Outcome::Trashed);
        QCOMPARE(QFileInfo(second.trashedAs).fileName(), QString(81, QChar(0x3042)) + ".2");
        QCOMPARE(read(second.trashedAs), QByteArray("y"));
        // The info records the whole original name.
        const QByteArray info = read(homeTrash() + "/info/" + QString(81, QChar(0x3042)) + ".trashinfo");
        QVERIFY(TrashInfo::pathOf(info).endsWith(QFile::encodeName("/w/" + name)));
    }

    void aStickySharedTrashIsUsedWithARelativePath()
    {
        QVERIFY(QDir().mkpath(root() + "/volA/.Trash"));
        QVERIFY(::chmod(QFile::encodeName(root() + "/volA/.Trash").constData(), 01777) == 0);
        write(root() + "/volA/docs/a b.txt", "on A");
        TrashService trash = service({"volA"});
        const TrashService::Result result = trash.trash(root() + "/volA/docs/a b.txt");
        QCOMPARE(result.outcome, TrashService::Outcome::Trashed);
        const QString own = root() + "/volA/.Trash/" + uid();
        QCOMPARE(read(own + "/files/a b.txt"), QByteArray("on A"));
        QCOMPARE(modeOf(own), mode_t(0700));
        QCOMPARE(TrashInfo::pathOf(read(own + "/info/a b.txt.trashinfo")), QByteArray("docs/a b.txt"));
        QVERIFY(!exists(root() + "/volA/.Trash-" + uid()));
        QVERIFY(!exists(homeTrash()));
    }

    void anUnsafeSharedTrashIsPassedOver()
    {
        // Not sticky: anyone could swap our folder in it.
        QVERIFY(QDir().mkpath(root() + "/volB/.Trash"));
        QVERIFY(::chmod(QFile::encodeName(root() + "/volB/.Trash").constData(), 0777) == 0);
        // A link, even to a sticky folder: it could lead anywhere.
        QVERIFY(QDir().mkpath(root() + "/sticky"));
        QVERIFY(::chmod(QFile::encodeName(root() + "/sticky").constData(), 01777) == 0);
        QVERIFY(QDir().mkpath(root() + "/volC"));
        QVERIFY(QFile::link(root() + "/sticky", root() + "/volC/.Trash"));
        write(root() + "/volB/b.txt", "b");
        write(root() + "/volC/c.txt", "c");
        TrashService trash = service({"volB", "volC"});
        QCOMPARE(trash.trash(root() + "/volB/b.txt").outcome, TrashService::Outcome::Trashed);
        QCOMPARE(trash.trash(root() + "/volC/c.txt").outcome, TrashService::Outcome::Trashed);
        QCOMPARE(read(root() + "/volB/.Trash-" + uid() + "/files/b.txt"), QByteArray("b"));
        QCOMPARE(read(root() + "/volC/.Trash-" + uid() + "/files/c.txt"), QByteArray("c"));
        QCOMPARE(modeOf(root() + "/volB/.Trash-" + uid()), mode_t(0700));
        QVERIFY(names(root() + "/volB/.Trash").isEmpty());
        QVERIFY(names(root() + "/sticky").isEmpty());
        QCOMPARE(TrashInfo::pathOf(read(root() + "/volC/.Trash-" + uid() + "/info/c.txt.trashinfo")),
                 QByteArray("c.txt"));
    }

    void whatNoTrashCanTakeIsLeftInPlace()
    {
        // A .Trash-$uid that is a link leaves the volume without a trash.
        QVERIFY(QDir().mkpath(root() + "/elsewhere"));
        QVERIFY(QDir().mkpath(root() + "/volD"));
        QVERIFY(QFile::link(root() + "/elsewhere", root() + "/volD/.Trash-" + uid()));
        write(root() + "/volD/d.txt", "d");
        TrashService trash = service({"volD"});
        QCOMPARE(trash.trash(root() + "/volD/d.txt").outcome, TrashService::Outcome::NoTrash);
        QCOMPARE(read(root() + "/volD/d.txt"), QByteArray("d"));
        QVERIFY(names(root() + "/elsewhere").isEmpty());

        // The trash, a folder holding it, and an entry inside it.
        write(root() + "/x.txt");
        QCOMPARE(trash.trash(root() + "/x.txt").outcome, TrashService::Outcome::Trashed);
        for (const QString& path : {homeTrash(), root() + "/data", homeTrash() + "/files/x.txt",
                                    homeTrash() + "/info"})
            QCOMPARE(trash.trash(path).outcome, TrashService::Outcome::NoTrash);
        QVERIFY(exists(homeTrash() + "/files/x.txt"));

        // A mount point and the root can be neither trashed nor deleted: no question.
        QCOMPARE(trash.trash(root() + "/volD").outcome, TrashService::Outcome::Failed);
        QCOMPARE(trash.trash(QStringLiteral("/")).outcome, TrashService::Outcome::Failed);
        QVERIFY(exists(root() + "/volD/d.txt"));

        // Gone already, or given as a relative path: a plain failure.
        QCOMPARE(trash.trash(root() + "/missing").outcome, TrashService::Outcome::Failed);
        QCOMPARE(trash.trash(QStringLiteral("x.txt")).outcome, TrashService::Outcome::Failed);
    }

    void aFailedMoveLeavesNoInfoBehind()
    {
        write(root() + "/locked/a.txt", "a");
        TrashService trash = service();
        write(root() + "/prime.txt");
        QCOMPARE(trash.trash(root() + "/prime.txt").outcome, TrashService::Outcome::Trashed);
        TrashService::Result result;
        {
            const Pinned pin(root() + "/locked/a.txt");
            if (!pin.ok())
                QSKIP("the entry cannot be pinned here");
            result = trash.trash(root() + "/locked/a.txt");
        }
        QCOMPARE(result.outcome, TrashService::Outcome::Failed);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(read(root() + "/locked/a.txt"), QByteArray("a"));
        QCOMPARE(names(homeTrash() + "/info"), QStringList{"prime.txt.trashinfo"});
        QCOMPARE(names(homeTrash() + "/files"), QStringList{"prime.txt"});
    }

    void emptyingClearsEveryTrashOfEveryVolume()
    {
        QVERIFY(QDir().mkpath(root() + "/volA/.Trash"));
        QVERIFY(::chmod(QFile::encodeName(root() + "/volA/.Trash").constData(), 01777) == 0);
        QVERIFY(QDir().mkpath(root() + "/volB"));
        write(root() + "/precious/keep.txt", "keep");
        write(root() + "/h1.txt");
        write(root() + "/volA/a1.txt");
        write(root() + "/volB/b1/deep/b2.txt");
        write(root() + "/volB/ro/sub/f.txt");
        QVERIFY(QFile::link(root() + "/precious", root() + "/volB/ro/link"));
        QVERIFY(::chmod(QFile::encodeName(root() + "/volB/ro/sub").constData(), 0555) == 0);
        QVERIFY(::chmod(QFile::encodeName(root() + "/volB/ro").constData(), 0500) == 0);

        TrashService trash = service({"volA", "volB"});
        for (const char* p : {"/h1.txt", "/volA/a1.txt", "/volB/b1", "/volB/ro"})
            QCOMPARE(trash.trash(root() + p).outcome, TrashService::Outcome::Trashed);
        // A read-only folder moves (its ".." changes) and keeps its mode.
        QCOMPARE(modeOf(root() + "/volB/.Trash-" + uid() + "/files/ro"), mode_t(0500));
        // An info whose entry is gone, and a cache of folder sizes.
        write(homeTrash() + "/info/orphan.trashinfo");
        write(homeTrash() + "/directorysizes", "4096 1 b1\n");
        QCOMPARE(trash.existingTrashes().size(), 3);
        QCOMPARE(trash.trashedCount(), 4);

        ScriptedProgress progress;
        const TrashService::EmptyReport report = trash.emptyAll(&progress);
        QCOMPARE(report.failures, QStringList());
        QCOMPARE(report.removed, 4);
        QVERIFY(!report.cancelled);
        QCOMPARE(trash.trashedCount(), 0);
        for (const QString& t : {homeTrash(), root() + "/volA/.Trash/" + uid(), root() + "/volB/.Trash-" + uid()}) {
            QCOMPARE(names(t + "/files"), QStringList());
            QCOMPARE(names(t + "/info"), QStringList());
        }
        QVERIFY(!exists(homeTrash() + "/directorysizes"));
        // The link went; what it pointed at stayed.
        QCOMPARE(read(root() + "/precious/keep.txt"), QByteArray("keep"));
        QCOMPARE(progress.finishes, 1);
        QVERIFY(progress.items.contains(root() + "/volB/.Trash-" + uid() + "/files/b1/deep/b2.txt")
                || progress.items.contains(QFileInfo(root()).canonicalFilePath() + "/volB/.Trash-" + uid()
                                           + "/files/b1/deep/b2.txt"));
    }

    void emptyingReportsWhatStaysAndKeepsItsInfo()
    {
        write(root() + "/a.txt");
        write(root() + "/b.txt");
        TrashService trash = service();
        QCOMPARE(trash.trash(root() + "/a.txt").outcome, TrashService::Outcome::Trashed);
        QCOMPARE(trash.trash(root() + "/b.txt").outcome, TrashService::Outcome::Trashed);
        write(homeTrash() + "/directorysizes", "1 1 x\n");
        TrashService::EmptyReport report;
        {
            const Pinned pin(homeTrash() + "/files/a.txt");
            if (!pin.ok())
                QSKIP("the entry cannot be pinned here");
            report = trash.emptyAll();
        }
        QCOMPARE(report.failures.filter("/files/a.txt: ").size(), 1);
        QVERIFY(names(homeTrash() + "/files").contains("a.txt"));
        QVERIFY(names(homeTrash() + "/info").contains("a.txt.trashinfo"));
        // The cache may still describe what stayed.
        QVERIFY(exists(homeTrash() + "/directorysizes"));
    }

    void emptyingStopsWhenCancelled()
    {
        for (const char* n : {"/a", "/b", "/c"})
            write(root() + n);
        TrashService trash = service();
        for (const char* n : {"/a", "/b", "/c"})
            QCOMPARE(trash.trash(root() + n).outcome, TrashService::Outcome::Trashed);
        ScriptedProgress progress;
        progress.cancelAtReport(2);
        const TrashService::EmptyReport report = trash.emptyAll(&progress);
        QVERIFY(report.cancelled);
        QCOMPARE(report.removed, 1);
        QCOMPARE(trash.trashedCount(), 2);
        QCOMPARE(names(homeTrash() + "/info").size(), 2);
    }

    void deletingForGoodStaysOnItsTreeAndVolume()
    {
        write(root() + "/kept/keep.txt", "keep");
        write(root() + "/doomed/ro/a.txt");
        write(root() + "/doomed/b.txt");
        QVERIFY(QFile::link(root() + "/kept", root() + "/doomed/ro/toKept"));
        QVERIFY(::chmod(QFile::encodeName(root() + "/doomed/ro").constData(), 0000) == 0);
        TrashService trash = service();
        ScriptedProgress progress;
        const TrashService::EmptyReport report = trash.deleteForGood(root() + "/doomed/", &progress);
        QCOMPARE(report.failures, QStringList());
        QCOMPARE(report.removed, 1);
        QVERIFY(!exists(root() + "/doomed"));
        QCOMPARE(read(root() + "/kept/keep.txt"), QByteArray("keep"));
        QCOMPARE(progress.captions, QStringList{"削除"});
        // The bytes shown are those of the files and links removed.
        QCOMPARE(progress.lastDone, 8 + QFile::encodeName(root() + "/kept").size());
        QCOMPARE(progress.finishes, 1);

        // Never the root; a missing entry is a failure, not a success.
        QVERIFY(!trash.deleteForGood(QStringLiteral("/")).failures.isEmpty());
        const TrashService::EmptyReport missing = trash.deleteForGood(root() + "/doomed");
        QCOMPARE(missing.removed, 0);
        QCOMPARE(missing.failures.size(), 1);
    }

    void aBindMountInsideIsNeverEmptied()
    {
        // Another folder of the same volume mounted inside the doomed tree
        // has the same device number as the tree: it must still be left alone.
        write(root() + "/precious/keep.txt", "keep");
        QVERIFY(QDir().mkpath(root() + "/doomed/mounted"));
        write(root() + "/doomed/other.txt");
        const QByteArray precious = QFile::encodeName(root() + "/precious");
        const QByteArray mounted = QFile::encodeName(root() + "/doomed/mounted");
        TrashService trash = service();
        const int code = inOwnMountNamespace([&] {
            if (::mount(precious.constData(), mounted.constData(), nullptr, MS_BIND, nullptr) != 0)
                return 77;
            // Trashing the mount point itself is refused outright.
            if (trash.trash(QFile::decodeName(mounted)).outcome != TrashService::Outcome::Failed)
                return 1;
            if (!TrashTreeRemover::isMountPoint(AT_FDCWD, mounted))
                return 2;
            const TrashService::EmptyReport report = trash.deleteForGood(root() + "/doomed");
            if (report.removed != 0 || report.failures.isEmpty())
                return 3;
            return 0;
        });
        if (code == 77)
            QSKIP("no mount namespace on this machine");
        QCOMPARE(code, 0);
        QCOMPARE(read(root() + "/precious/keep.txt"), QByteArray("keep"));
        // Beside the mount point the tree went as asked.
        QVERIFY(!exists(root() + "/doomed/other.txt"));
        QVERIFY(!TrashTreeRemover::isMountPoint(AT_FDCWD, QFile::encodeName(root() + "/precious")));
    }

    void topdirIsTheHighestFolderOnTheSameDevice()
    {
        QCOMPARE(TrashService::topdirOf(QStringLiteral("/")), QStringLiteral("/"));
        const QString top = TrashService::topdirOf(root());
        QVERIFY(root().startsWith(top) || QFileInfo(root()).canonicalFilePath().startsWith(top));
        // A path that does not exist answers for its nearest existing folder.
        QCOMPARE(TrashService::topdirOf(root() + "/not/there"), top);
        if (QFileInfo::exists(QStringLiteral("/proc/self/status")))
            QCOMPARE(TrashService::topdirOf(QStringLiteral("/proc/self/status")), QStringLiteral("/proc"));
    }
};

QTEST_GUILESS_MAIN(tst_TrashService)
#include "tst_TrashService.moc"
