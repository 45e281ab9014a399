#include "platform/CopyConflictPrompt.h"
#include "platform/CopyName.h"
#include "platform/FileDataCopier.h"
#include "platform/ScriptedProgress.h"
#include "platform/ScriptedPrompter.h"
#include "platform/ShellFileOperation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using Function = ShellFileOperation::Function;
using Answer = Prompter::Answer;

namespace {

const QString kTitle = QStringLiteral("Kestrel");

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
}

// A file of `size` bytes that no two offsets repeat for a while, so a
// misplaced block shows.
QByteArray pattern(qint64 size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = 2166136261u ^ static_cast<unsigned char>(seed);
    for (qint64 i = 0; i < size; ++i) {
        x = x * 16777619u + 12345u;
        data[i] = static_cast<char>(x >> 24);
    }
    return data;
}

struct stat lstatOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

bool exists(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

void setMtime(const QString& path, time_t seconds, long nanoseconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, nanoseconds}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Every entry below `root`, with its kind, as "name:kind" lines sorted; the
// way to say "these two trees hold the same things".
QStringList treeListing(const QString& root)
{
    QStringList lines;
    QDir dir(root);
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                        | QDir::NoDotAndDotDot,
                                                    QDir::Name);
    for (const QFileInfo& info : entries) {
        const struct stat st = lstatOf(info.filePath());
        QString kind = S_ISDIR(st.st_mode)    ? QStringLiteral("dir")
            : S_ISLNK(st.st_mode)             ? QString()
            : S_ISFIFO(st.st_mode)            ? QStringLiteral("fifo")
            : S_ISSOCK(st.st_mode)            ? QStringLiteral("socket")
                                              : QString::fromLatin1(bytesOf(info.filePath()).toHex().left(16));
        if (S_ISLNK(st.st_mode)) {
            char text[512] = {};
            ::readlink(QFile::encodeName(info.filePath()).constData(), text, sizeof text - 1);
            kind = QStringLiteral("link>") + QString::fromUtf8(text);
        }
        lines << info.fileName() + QLatin1Char(':') + kind + QLatin1Char(':')
                + QString::number(st.st_mode & 07777, 8);
        if (S_ISDIR(st.st_mode)) {
            for (const QString& inner : treeListing(info.filePath()))
                lines << info.fileName() + QLatin1Char('/') + inner;
        }
    }
    return lines;
}

// Lets the test folders be removed again: read-only folders below `root`
// become writable (links are not followed).
void makeWritable(const QString& root)
{
    ::chmod(QFile::encodeName(root).constData(), 0755);
    const QFileInfoList entries = QDir(root).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot
                                                           | QDir::NoSymLinks);
    for (const QFileInfo& info : entries)
        makeWritable(info.filePath());
}

// Leftovers of an interrupted write anywhere below `root`.
QStringList temporaries(const QString& root)
{
    QStringList found;
    for (const QString& line : treeListing(root))
        if (line.contains(QStringLiteral(".kestrel-copy-")))
            found << line;
    return found;
}

} // namespace

class tst_ShellFileOperation : public QObject {
    Q_OBJECT
private:
    QTemporaryDir root_;
    QString src_;  // a folder holding what is copied
    QString dst_;  // another folder on the same file system

    std::unique_ptr<ScriptedPrompter> prompts;
    ScriptedProgress progress;

    QString at(const QString& relative) const { return root_.path() + QLatin1Char('/') + relative; }

    bool run(Function function, const QString& source, const QString& folder,
             const std::function<void(ShellFileOperation&)>& setUp = {})
    {
        ShellFileOperation operation(*prompts, progress, kTitle);
        if (setUp)
            setUp(operation);
        return operation.run(function, source, folder);
    }

    // A small tree with every kind of entry the copy handles. A move that
    // removes its sources cannot empty a read-only folder unless it runs as
    // root, so those tests leave the folder writable.
    void makeTree(const QString& top, bool lockedFolder = true)
    {
        QVERIFY(QDir().mkpath(top + QStringLiteral("/sub/deeper")));
        QVERIFY(QDir().mkpath(top + QStringLiteral("/empty")));
        writeFile(top + QStringLiteral("/a.txt"), "alpha");
        writeFile(top + QStringLiteral("/sub/b.bin"), pattern(70000, 'b'));
        writeFile(top + QStringLiteral("/sub/deeper/.hidden"), "h");
        QCOMPARE(::chmod(QFile::encodeName(top + QStringLiteral("/a.txt")).constData(), 0640), 0);
        QCOMPARE(::symlink("a.txt", QFile::encodeName(top + QStringLiteral("/rel-link")).constData()), 0);
        QCOMPARE(::symlink("/nonexistent/outside", QFile::encodeName(top + QStringLiteral("/dangling")).constData()), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(top + QStringLiteral("/pipe")).constData(), 0600), 0);
        // A read-only folder: the copy must still fill it before locking it.
        writeFile(top + QStringLiteral("/sub/deeper/locked.txt"), "locked");
        QCOMPARE(::chmod(QFile::encodeName(top + QStringLiteral("/sub/deeper")).constData(),
                         lockedFolder ? 0555 : 0750), 0);
        setMtime(top + QStringLiteral("/sub/deeper"), 1000000000, 5);
        setMtime(top + QStringLiteral("/sub"), 1100000000, 0);
        setMtime(top + QStringLiteral("/rel-link"), 1200000000, 0);
    }

private slots:
    void init()
    {
        QVERIFY(root_.isValid());
        progress = ScriptedProgress();
        prompts = std::make_unique<ScriptedPrompter>();
        src_ = at(QStringLiteral("src"));
        dst_ = at(QStringLiteral("dst"));
        QVERIFY(QDir().mkpath(src_));
        QVERIFY(QDir().mkpath(dst_));
    }

    void cleanup()
    {
        QCOMPARE(prompts->pendingAnswers(), 0);
        // Read-only folders would stop the removal of the test folder.
        for (const QString& folder : {src_, dst_})
            makeWritable(folder);
        QDir(src_).removeRecursively();
        QDir(dst_).removeRecursively();
    }

    // CopyName --------------------------------------------------------------

    void copyNamesPutTheSuffixBeforeTheExtension()
    {
        QCOMPARE(CopyName::nth("report.txt", false, 1), std::string("report - コピー.txt"));
        QCOMPARE(CopyName::nth("report.txt", false, 2), std::string("report - コピー (2).txt"));
        QCOMPARE(CopyName::nth("archive.tar.gz", false, 3), std::string("archive.tar - コピー (3).gz"));
        QCOMPARE(CopyName::nth("README", false, 1), std::string("README - コピー"));
        QCOMPARE(CopyName::nth(".profile", false, 1), std::string(".profile - コピー"));
        // A folder takes the suffix after its whole name, dots and all.
        QCOMPARE(CopyName::nth("photos.2024", true, 2), std::string("photos.2024 - コピー (2)"));
    }

    // FileDataCopier --------------------------------------------------------

    void bothWaysOfCopyingDataGiveTheSameBytesAndTickEveryChunk()
    {
        const QByteArray data = pattern(2 * FileDataCopier::kChunk + 12345, 'x');
        writeFile(src_ + QStringLiteral("/in"), data);
        using Copy = FileDataCopier::Result (*)(int, int, const FileDataCopier::Tick&);
        const Copy ways[] = {&FileDataCopier::copy, &FileDataCopier::copyByReadWrite};
        int n = 0;
        for (Copy way : ways) {
            const QString out = dst_ + QStringLiteral("/out") + QString::number(n++);
            const int from = ::open(QFile::encodeName(src_ + QStringLiteral("/in")).constData(), O_RDONLY);
            const int to = ::open(QFile::encodeName(out).constData(), O_RDWR | O_CREAT | O_EXCL, 0600);
            QVERIFY(from >= 0 && to >= 0);
            qint64 ticked = 0;
            int ticks = 0;
            const auto result = way(from, to, [&](qint64 bytes) {
                ticked += bytes;
                ++ticks;
                return bytes <= FileDataCopier::kChunk;
            });
            ::close(from);
            ::close(to);
            QCOMPARE(result, FileDataCopier::Result::Done);
            QCOMPARE(ticked, qint64(data.size()));
            QVERIFY(ticks >= 1);
            QCOMPARE(bytesOf(out), data);
        }
    }

    // The kernel's own files say they are empty and still have text.
    void aFileThatSaysItIsEmptyIsReadToItsEnd()
    {
        QFile info(QStringLiteral("/proc/self/status"));
        if (!info.open(QIODevice::ReadOnly) || QFileInfo(info).size() != 0)
            QSKIP("no /proc here");
        info.close();
        const int from = ::open("/proc/self/status", O_RDONLY);
        const int to = ::open(QFile::encodeName(dst_ + QStringLiteral("/status")).constData(),
                              O_RDWR | O_CREAT | O_EXCL, 0600);
        QVERIFY(from >= 0 && to >= 0);
        const auto result = FileDataCopier::copy(from, to, [](qint64) { return true; });
        ::close(from);
        ::close(to);
        QCOMPARE(result, FileDataCopier::Result::Done);
        QVERIFY(bytesOf(dst_ + QStringLiteral("/status")).startsWith("Name:"));
    }

    void aStoppingTickStopsTheCopy()
    {
        writeFile(src_ + QStringLiteral("/in"), pattern(3 * FileDataCopier::kChunk, 's'));
        const int from = ::open(QFile::encodeName(src_ + QStringLiteral("/in")).constData(), O_RDONLY);
        const int to = ::open(QFile::encodeName(dst_ + QStringLiteral("/out")).constData(),
                              O_RDWR | O_CREAT | O_EXCL, 0600);
        QVERIFY(from >= 0 && to >= 0);
        const auto result = FileDataCopier::copyByReadWrite(from, to, [](qint64) { return false; });
        ::close(from);
        ::close(to);
        QCOMPARE(result, FileDataCopier::Result::Stopped);
        QCOMPARE(QFileInfo(dst_ + QStringLiteral("/out")).size(), FileDataCopier::kChunk);
    }

    void comparingFindsAnyDifference()
    {
        const QByteArray data = pattern(FileDataCopier::kChunk + 500, 'q');
        QByteArray changed = data;
        changed[FileDataCopier::kChunk + 7] = char(changed[FileDataCopier::kChunk + 7] ^ 1);
        writeFile(src_ + QStringLiteral("/a"), data);
        writeFile(src_ + QStringLiteral("/same"), data);
        writeFile(src_ + QStringLiteral("/changed"), changed);
        writeFile(src_ + QStringLiteral("/short"), data.left(data.size() - 1));
        const auto compare = [this](const char* other) {
            const int a = ::open(QFile::encodeName(src_ + QStringLiteral("/a")).constData(), O_RDONLY);
            const int b = ::open(QFile::encodeName(src_ + QLatin1Char('/') + QLatin1String(other)).constData(),
                                 O_RDONLY);
            const auto result = FileDataCopier::compare(a, b, [](qint64) { return true; });
            ::close(a);
            ::close(b);
            return result;
        };
        QCOMPARE(compare("same"), FileDataCopier::Result::Done);
        QCOMPARE(compare("changed"), FileDataCopier::Result::Failed);
        QCOMPARE(compare("short"), FileDataCopier::Result::Failed);
    }

    // Copying ---------------------------------------------------------------

    void copyKeepsBytesPermissionsAndTimes()
    {
        const QString file = src_ + QStringLiteral("/data.bin");
        const QByteArray data = pattern(3 * 1024 * 1024 + 17, 'd');
        writeFile(file, data);
        QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0604), 0);
        setMtime(file, 946684800, 123456789);

        QVERIFY(run(Function::Copy, file, dst_));
        const QString copy = dst_ + QStringLiteral("/data.bin");
        QCOMPARE(bytesOf(copy), data);
        QCOMPARE(bytesOf(file), data);
        const struct stat st = lstatOf(copy);
        QCOMPARE(st.st_mode & 07777, mode_t(0604));
        QCOMPARE(st.st_mtim.tv_sec, time_t(946684800));
        QCOMPARE(st.st_mtim.tv_nsec, 123456789L);
        QVERIFY(temporaries(dst_).isEmpty());

        // The window learns the whole size first and hears of every MiB.
        QCOMPARE(progress.captions, QStringList{QStringLiteral("コピー")});
        QCOMPARE(progress.total, qint64(data.size()));
        QCOMPARE(progress.lastDone, qint64(data.size()));
        QVERIFY(progress.reports >= 4);
        QCOMPARE(progress.finishes, 1);
    }

    void copyOfAFolderKeepsLinksSpecialFilesAndFolderTimes()
    {
        const QString top = src_ + QStringLiteral("/tree");
        makeTree(top);
        // A socket name can be made anew; it is only a rendezvous point.
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray socketPath = QFile::encodeName(top + QStringLiteral("/sock"));
        QVERIFY(socketPath.size() < int(sizeof address.sun_path));
        std::memcpy(address.sun_path, socketPath.constData(), socketPath.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        setMtime(top, 900000000, 0);

        QVERIFY(run(Function::Copy, top, dst_));
        const QString copy = dst_ + QStringLiteral("/tree");
        QCOMPARE(treeListing(copy), treeListing(top));
        QVERIFY(S_ISLNK(lstatOf(copy + QStringLiteral("/rel-link")).st_mode));
        QVERIFY(S_ISFIFO(lstatOf(copy + QStringLiteral("/pipe")).st_mode));
        QVERIFY(S_ISSOCK(lstatOf(copy + QStringLiteral("/sock")).st_mode));
        QCOMPARE(lstatOf(copy + QStringLiteral("/sub/deeper")).st_mtim.tv_sec, time_t(1000000000));
        QCOMPARE(lstatOf(copy + QStringLiteral("/sub/deeper")).st_mtim.tv_nsec, 5L);
        QCOMPARE(lstatOf(copy + QStringLiteral("/sub")).st_mtim.tv_sec, time_t(1100000000));
        QCOMPARE(lstatOf(copy).st_mtim.tv_sec, time_t(900000000));
        QCOMPARE(lstatOf(copy + QStringLiteral("/rel-link")).st_mtim.tv_sec, time_t(1200000000));
        QVERIFY(temporaries(dst_).isEmpty());
    }

    void aLinkGivenAsTheSourceIsCopiedAsALink()
    {
        QVERIFY(QDir().mkpath(at(QStringLiteral("outside"))));
        writeFile(at(QStringLiteral("outside/secret")), "s");
        const QString link = src_ + QStringLiteral("/to-outside");
        QCOMPARE(::symlink(QFile::encodeName(at(QStringLiteral("outside"))).constData(),
                           QFile::encodeName(link).constData()), 0);

        QVERIFY(run(Function::Copy, link, dst_));
        QVERIFY(S_ISLNK(lstatOf(dst_ + QStringLiteral("/to-outside")).st_mode));
        QDir(at(QStringLiteral("outside"))).removeRecursively();
    }

    void copyIntoItsOwnFolderMakesNumberedCopyNames()
    {
        writeFile(src_ + QStringLiteral("/note.txt"), "n");
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/album.d")));
        writeFile(src_ + QStringLiteral("/album.d/p.jpg"), "p");

        for (int i = 0; i < 3; ++i)
            QVERIFY(run(Function::Copy, src_ + QStringLiteral("/note.txt"), src_ + QLatin1Char('/')));
        QVERIFY(run(Function::Copy, src_ + QStringLiteral("/album.d/"), src_));

        QCOMPARE(QDir(src_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{QStringLiteral("album.d"), QStringLiteral("album.d - コピー"),
                              QStringLiteral("note - コピー (2).txt"), QStringLiteral("note - コピー (3).txt"),
                              QStringLiteral("note - コピー.txt"), QStringLiteral("note.txt")}));
        QCOMPARE(bytesOf(src_ + QStringLiteral("/note - コピー (3).txt")), QByteArray("n"));
        QCOMPARE(bytesOf(src_ + QStringLiteral("/album.d - コピー/p.jpg")), QByteArray("p"));
        QVERIFY(prompts->questions().isEmpty());
    }

    void anExistingFileIsReplacedSkippedOrStoppedAsAnswered()
    {
        const QString file = src_ + QStringLiteral("/same.txt");
        const QString there = dst_ + QStringLiteral("/same.txt");
        writeFile(file, "new");
        writeFile(there, "old");
        const QString question = CopyConflictPrompt::replaceText(QStringLiteral("same.txt"));

        prompts->answerMessage(Answer::No, question);
        QVERIFY(run(Function::Copy, file, dst_));  // skip counts as done
        QCOMPARE(bytesOf(there), QByteArray("old"));

        prompts->answerMessage(Answer::Cancel, question);
        QVERIFY(!run(Function::Copy, file, dst_));
        QCOMPARE(bytesOf(there), QByteArray("old"));

        prompts->answerMessage(Answer::Yes, question);
        QVERIFY(run(Function::Copy, file, dst_));
        QCOMPARE(bytesOf(there), QByteArray("new"));

        const auto& asked = prompts->questions().constLast();
        QCOMPARE(asked.buttons, Prompter::Buttons::YesNoCancel);
        QCOMPARE(asked.icon, Prompter::Icon::Question);
        QCOMPARE(asked.title, kTitle);
        QVERIFY(temporaries(dst_).isEmpty());
    }

    void aFolderOntoAFolderMergesAndAsksPerFile()
    {
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/box")));
        QVERIFY(QDir().mkpath(dst_ + QStringLiteral("/box")));
        writeFile(src_ + QStringLiteral("/box/a-new"), "A");
        writeFile(src_ + QStringLiteral("/box/m-same"), "new m");
        writeFile(src_ + QStringLiteral("/box/z-new"), "Z");
        writeFile(dst_ + QStringLiteral("/box/m-same"), "old m");
        writeFile(dst_ + QStringLiteral("/box/theirs"), "T");

        // Stopping at the inner question takes back what the merge added.
        prompts->answerMessage(Answer::Yes, CopyConflictPrompt::mergeText(QStringLiteral("box")));
        prompts->answerMessage(Answer::Cancel, CopyConflictPrompt::replaceText(QStringLiteral("m-same")));
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/box"), dst_));
        QCOMPARE(QDir(dst_ + QStringLiteral("/box")).entryList(QDir::Files, QDir::Name),
                 (QStringList{QStringLiteral("m-same"), QStringLiteral("theirs")}));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/m-same")), QByteArray("old m"));

        // Skipping the one file keeps it and brings in the rest.
        prompts->answerMessage(Answer::Yes, CopyConflictPrompt::mergeText(QStringLiteral("box")));
        prompts->answerMessage(Answer::No, CopyConflictPrompt::replaceText(QStringLiteral("m-same")));
        QVERIFY(run(Function::Copy, src_ + QStringLiteral("/box"), dst_));
        QCOMPARE(QDir(dst_ + QStringLiteral("/box")).entryList(QDir::Files, QDir::Name),
                 (QStringList{QStringLiteral("a-new"), QStringLiteral("m-same"), QStringLiteral("theirs"),
                              QStringLiteral("z-new")}));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/m-same")), QByteArray("old m"));

        // Skipping the folder touches nothing.
        prompts->answerMessage(Answer::No, CopyConflictPrompt::mergeText(QStringLiteral("box")));
        writeFile(src_ + QStringLiteral("/box/later"), "L");
        QVERIFY(run(Function::Copy, src_ + QStringLiteral("/box"), dst_));
        QVERIFY(!exists(dst_ + QStringLiteral("/box/later")));
    }

    void aFileAndAFolderNeverReplaceEachOther()
    {
        writeFile(src_ + QStringLiteral("/thing"), "file");
        QVERIFY(QDir().mkpath(dst_ + QStringLiteral("/thing")));
        writeFile(dst_ + QStringLiteral("/thing/inside"), "kept");

        prompts->answerMessage(Answer::Ok, CopyConflictPrompt::kindMismatchText(QStringLiteral("thing"), true));
        QVERIFY(run(Function::Copy, src_ + QStringLiteral("/thing"), dst_));
        prompts->answerMessage(Answer::Cancel, CopyConflictPrompt::kindMismatchText(QStringLiteral("thing"), true));
        QVERIFY(!run(Function::Move, src_ + QStringLiteral("/thing"), dst_));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/thing/inside")), QByteArray("kept"));
        QCOMPARE(bytesOf(src_ + QStringLiteral("/thing")), QByteArray("file"));
        QCOMPARE(prompts->questions().constLast().buttons, Prompter::Buttons::OkCancel);
    }

    void aLinkInTheDestinationIsNeverWrittenThrough()
    {
        // dst/box is a link to a folder outside: merging into it would write
        // outside the destination, so it counts as a different kind of entry.
        QVERIFY(QDir().mkpath(at(QStringLiteral("elsewhere"))));
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/box")));
        writeFile(src_ + QStringLiteral("/box/f"), "f");
        QCOMPARE(::symlink(QFile::encodeName(at(QStringLiteral("elsewhere"))).constData(),
                           QFile::encodeName(dst_ + QStringLiteral("/box")).constData()), 0);
        prompts->answerMessage(Answer::Ok, CopyConflictPrompt::kindMismatchText(QStringLiteral("box"), false));
        QVERIFY(run(Function::Copy, src_ + QStringLiteral("/box"), dst_));
        QVERIFY(QDir(at(QStringLiteral("elsewhere"))).isEmpty());
        QDir(at(QStringLiteral("elsewhere"))).removeRecursively();
    }

    void aFolderIsNeverCopiedOrMovedIntoItself()
    {
        const QString top = src_ + QStringLiteral("/top");
        QVERIFY(QDir().mkpath(top + QStringLiteral("/inner")));
        writeFile(top + QStringLiteral("/f"), "f");
        const QStringList before = treeListing(src_);
        // Reached through a link too.
        QCOMPARE(::symlink(QFile::encodeName(top + QStringLiteral("/inner")).constData(),
                           QFile::encodeName(dst_ + QStringLiteral("/via")).constData()), 0);

        for (Function function : {Function::Copy, Function::Move}) {
            QVERIFY(!run(function, top, top));
            QVERIFY(!run(function, top, top + QStringLiteral("/inner/")));
            QVERIFY(!run(function, top, dst_ + QStringLiteral("/via")));
        }
        QCOMPARE(treeListing(src_), before);
        QVERIFY(progress.captions.isEmpty());
    }

    void missingSourcesAndNonFolderDestinationsFail()
    {
        writeFile(src_ + QStringLiteral("/f"), "f");
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/gone"), dst_));
        QVERIFY(!run(Function::Move, src_ + QStringLiteral("/gone"), dst_));
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/f"), src_ + QStringLiteral("/f")));
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/f"), dst_ + QStringLiteral("/none")));
        QVERIFY(QDir(dst_).isEmpty());
    }

    void cancelLeavesNoTemporaryAndTheSourceWhole()
    {
        const QByteArray data = pattern(3 * 1024 * 1024, 'c');
        writeFile(src_ + QStringLiteral("/big"), data);
        writeFile(dst_ + QStringLiteral("/big"), "old");
        prompts->answerMessage(Answer::Yes);
        progress.cancelAtReport(2);  // at the first block of data
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/big"), dst_));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/big")), QByteArray("old"));
        QCOMPARE(bytesOf(src_ + QStringLiteral("/big")), data);
        QVERIFY(temporaries(dst_).isEmpty());
        QCOMPARE(progress.finishes, 1);

        // A folder cancelled half-way leaves nothing of itself behind.
        makeTree(src_ + QStringLiteral("/tree"));
        progress = ScriptedProgress();
        progress.cancelAtReport(5);
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/tree"), dst_));
        QVERIFY(!exists(dst_ + QStringLiteral("/tree")));
        QVERIFY(progress.reports >= 5);
    }

    // Moving ----------------------------------------------------------------

    void aMoveWithinOneFileSystemRenames()
    {
        makeTree(src_ + QStringLiteral("/tree"));
        writeFile(src_ + QStringLiteral("/f"), "f");
        const QStringList listing = treeListing(src_ + QStringLiteral("/tree"));
        const ino_t inode = lstatOf(src_ + QStringLiteral("/f")).st_ino;

        QVERIFY(run(Function::Move, src_ + QStringLiteral("/f"), dst_));
        QVERIFY(run(Function::Move, src_ + QStringLiteral("/tree/"), dst_));
        QCOMPARE(lstatOf(dst_ + QStringLiteral("/f")).st_ino, inode);
        QCOMPARE(treeListing(dst_ + QStringLiteral("/tree")), listing);
        QVERIFY(QDir(src_).isEmpty());
        // A rename needs no count of the bytes beforehand.
        QCOMPARE(progress.captions, (QStringList{QStringLiteral("移動"), QStringLiteral("移動")}));
        QCOMPARE(progress.total, qint64(0));
    }

    void aMoveIntoItsOwnFolderChangesNothing()
    {
        writeFile(src_ + QStringLiteral("/stay"), "s");
        QVERIFY(run(Function::Move, src_ + QStringLiteral("/stay"), src_ + QLatin1Char('/')));
        QCOMPARE(QDir(src_).entryList(QDir::Files), QStringList{QStringLiteral("stay")});
    }

    void aMoveOntoExistingEntriesAsksAndMerges()
    {
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/box")));
        QVERIFY(QDir().mkpath(dst_ + QStringLiteral("/box")));
        writeFile(src_ + QStringLiteral("/box/keep-mine"), "mine");
        writeFile(src_ + QStringLiteral("/box/take"), "new");
        writeFile(src_ + QStringLiteral("/box/fresh"), "F");
        writeFile(dst_ + QStringLiteral("/box/keep-mine"), "theirs");
        writeFile(dst_ + QStringLiteral("/box/take"), "old");

        prompts->answerMessage(Answer::Yes, CopyConflictPrompt::mergeText(QStringLiteral("box")));
        prompts->answerMessage(Answer::No, CopyConflictPrompt::replaceText(QStringLiteral("keep-mine")));
        prompts->answerMessage(Answer::Yes, CopyConflictPrompt::replaceText(QStringLiteral("take")));
        QVERIFY(run(Function::Move, src_ + QStringLiteral("/box"), dst_));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/take")), QByteArray("new"));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/fresh")), QByteArray("F"));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/keep-mine")), QByteArray("theirs"));
        // What was skipped stays where it was, in its folder.
        QCOMPARE(QDir(src_ + QStringLiteral("/box")).entryList(QDir::Files), QStringList{QStringLiteral("keep-mine")});
    }

    void aMoveAcrossFileSystemsCopiesThenRemovesTheSource()
    {
        makeTree(src_ + QStringLiteral("/tree"), false);
        writeFile(src_ + QStringLiteral("/tree/sub/large"), pattern(2 * 1024 * 1024 + 3, 'L'));
        const QStringList listing = treeListing(src_ + QStringLiteral("/tree"));
        const ino_t inode = lstatOf(src_ + QStringLiteral("/tree/a.txt")).st_ino;

        QVERIFY(run(Function::Move, src_ + QStringLiteral("/tree"), dst_,
                    [](ShellFileOperation& op) { op.setCrossDeviceDecision([](auto&, auto&) { return true; }); }));
        QCOMPARE(treeListing(dst_ + QStringLiteral("/tree")), listing);
        QVERIFY(lstatOf(dst_ + QStringLiteral("/tree/a.txt")).st_ino != inode);  // copied, not renamed
        QCOMPARE(lstatOf(dst_ + QStringLiteral("/tree/sub/deeper")).st_mtim.tv_sec, time_t(1000000000));
        QVERIFY(!exists(src_ + QStringLiteral("/tree")));
        QCOMPARE(progress.captions, QStringList{QStringLiteral("移動")});
        QCOMPARE(progress.total, qint64(5 + 70000 + 1 + 6 + 2 * 1024 * 1024 + 3));
    }

    void aMoveAcrossFileSystemsFailingHalfWayLeavesTheSourceWhole()
    {
        makeTree(src_ + QStringLiteral("/tree"));
        const QStringList listing = treeListing(src_ + QStringLiteral("/tree"));
        QVERIFY(run(Function::Move, src_ + QStringLiteral("/tree"), dst_, [](ShellFileOperation& op) {
            op.setCrossDeviceDecision([](auto&, auto&) { return true; });
            // The first file goes through; the second one's write fails.
            op.setWriteFault([](const std::string& path) { return path.find("/sub/b.bin") != std::string::npos; });
        }) == false);
        QCOMPARE(treeListing(src_ + QStringLiteral("/tree")), listing);
        QCOMPARE(bytesOf(src_ + QStringLiteral("/tree/sub/b.bin")), pattern(70000, 'b'));
        QVERIFY(QDir(dst_).isEmpty());
    }

    void aSourceWrittenToAfterItsCopyIsKeptByAMoveAcross()
    {
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/box")));
        writeFile(src_ + QStringLiteral("/box/a.txt"), "first");
        writeFile(src_ + QStringLiteral("/box/b.txt"), "other");
        const QString a = src_ + QStringLiteral("/box/a.txt");
        // While b.txt is being copied, someone saves a.txt, copied already.
        QVERIFY(!run(Function::Move, src_ + QStringLiteral("/box"), dst_, [a](ShellFileOperation& op) {
            op.setCrossDeviceDecision([](auto&, auto&) { return true; });
            op.setWriteFault([a](const std::string& path) {
                if (path.ends_with("/b.txt"))
                    writeFile(a, "first, then more");
                return false;
            });
        }));
        // The newer data stays where it was written; the rest moved.
        QCOMPARE(bytesOf(a), QByteArray("first, then more"));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/a.txt")), QByteArray("first"));
        QCOMPARE(bytesOf(dst_ + QStringLiteral("/box/b.txt")), QByteArray("other"));
        QVERIFY(!exists(src_ + QStringLiteral("/box/b.txt")));
    }

    void twoSourcesMeetingInOneDestinationEntryStopTheMove()
    {
        // On a volume that folds case, "Readme" and "README" of one source
        // folder are one destination entry. Here a hard link stands in for that: by the
        // time "c" is copied, its destination is the entry made for "a".
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/box")));
        writeFile(src_ + QStringLiteral("/box/a"), "first");
        writeFile(src_ + QStringLiteral("/box/b"), "b");
        writeFile(src_ + QStringLiteral("/box/c"), "second");
        const QString box = dst_ + QStringLiteral("/box");
        QVERIFY(!run(Function::Move, src_ + QStringLiteral("/box"), dst_, [box](ShellFileOperation& op) {
            op.setCrossDeviceDecision([](auto&, auto&) { return true; });
            op.setWriteFault([box](const std::string& path) {
                if (path.ends_with("/b"))
                    ::link(QFile::encodeName(box + QStringLiteral("/a")).constData(),
                           QFile::encodeName(box + QStringLiteral("/c")).constData());
                return false;
            });
        }));
        // No question about replacing "c", and every source is still there.
        QCOMPARE(bytesOf(src_ + QStringLiteral("/box/a")), QByteArray("first"));
        QCOMPARE(bytesOf(src_ + QStringLiteral("/box/c")), QByteArray("second"));
    }

    void aFailedCopyRemovesTheReadOnlyFoldersItFinished()
    {
        // The locked folder is done, with its source's mode, before the
        // failure: the copy must still be able to take it back.
        QVERIFY(QDir().mkpath(src_ + QStringLiteral("/box/a-locked")));
        writeFile(src_ + QStringLiteral("/box/a-locked/in.txt"), "in");
        QCOMPARE(::chmod(QFile::encodeName(src_ + QStringLiteral("/box/a-locked")).constData(), 0555), 0);
        writeFile(src_ + QStringLiteral("/box/z.txt"), "z");
        QVERIFY(!run(Function::Copy, src_ + QStringLiteral("/box"), dst_, [](ShellFileOperation& op) {
            op.setWriteFault([](const std::string& path) { return path.ends_with("/z.txt"); });
        }));
        QVERIFY(QDir(dst_).isEmpty());
    }

    void aMoveAcrossFileSystemsCancelledLeavesTheSourceWhole()
    {
        makeTree(src_ + QStringLiteral("/tree"));
        writeFile(dst_ + QStringLiteral("/mine"), "m");
        const QStringList listing = treeListing(src_ + QStringLiteral("/tree"));
        progress.cancelAtReport(6);
        QVERIFY(!run(Function::Move, src_ + QStringLiteral("/tree"), dst_, [](ShellFileOperation& op) {
            op.setCrossDeviceDecision([](auto&, auto&) { return true; });
        }));
        QCOMPARE(treeListing(src_ + QStringLiteral("/tree")), listing);
        QCOMPARE(QDir(dst_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("mine")});
    }

    void aMoveBetweenRealFileSystems()
    {
        // /dev/shm is a memory file system on most machines; where it shares
        // the device of the test folder, the seam above covers this path.
        QTemporaryDir other(QStringLiteral("/dev/shm/kestrel-move-XXXXXX"));
        if (!other.isValid() || lstatOf(other.path()).st_dev == lstatOf(src_).st_dev)
            QSKIP("no second file system to move to");
        makeTree(src_ + QStringLiteral("/tree"), false);
        const QStringList listing = treeListing(src_ + QStringLiteral("/tree"));
        writeFile(src_ + QStringLiteral("/one"), pattern(1500000, '1'));

        QVERIFY(run(Function::Move, src_ + QStringLiteral("/tree"), other.path()));
        QVERIFY(run(Function::Move, src_ + QStringLiteral("/one"), other.path()));
        QCOMPARE(treeListing(other.path() + QStringLiteral("/tree")), listing);
        QCOMPARE(bytesOf(other.path() + QStringLiteral("/one")), pattern(1500000, '1'));
        QVERIFY(QDir(src_).isEmpty());
        makeWritable(other.path());
    }
};

QTEST_GUILESS_MAIN(tst_ShellFileOperation)
#include "tst_ShellFileOperation.moc"
