#include "platform/ScriptedProgress.h"
#include "platform/ByteCopier.h"
#include "split/PartName.h"
#include "split/PartWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using TestFiles::read;

namespace {

QByteArray pattern(qint64 size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char((i * 7919 + i / 251) & 0xff);
    return data;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Lowers the largest file this process may write, as a full disk would stop it, and puts the
// limit back afterwards. SIGXFSZ is ignored so the write fails with EFBIG instead of killing us.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

class tst_DividePartWriter : public QObject {
    Q_OBJECT
private slots:
    void init();
    void partCount_data();
    void partCount();
    void partsConcatenateToTheSource_data();
    void partsConcatenateToTheSource();
    void reportsEachPartByName();
    void emptyFileWritesNothing();
    void replacesALongerPartWhole();
    void cancelRemovesThePartsOfThisRun();
    void failurePartWayRemovesThePartsAndKeepsTheOthers();
    void aFullDiskLeavesAnOldSameNamedPartIntact();
    void aReadOnlyFolderFailsCleanly();
    void partsOfAPrivateFileStayPrivate();
    void aMissingSourceFails();
    void aPipeIsRefusedWithoutWaitingForAWriter();
    void aLinkToOneOfItsOwnPartsIsNotDivided();
    void namesNearTheLengthLimit();
    void aSourceShorterThanMeasuredFails();
    void dividesFilesPastFourGibibytes();

private:
    QTemporaryDir dir_;
    QString folder() const { return dir_.path() + QLatin1Char('/'); }
    QStringList entries() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                            QDir::Name);
    }
};

void tst_DividePartWriter::init()
{
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    ByteCopier::setKernelCopyAllowed(true);
}

void tst_DividePartWriter::partCount_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("empty") << qint64(0) << qint64(1457152) << qint64(0);
    QTest::newRow("one byte") << qint64(1) << qint64(1457152) << qint64(1);
    QTest::newRow("exactly one part") << qint64(1457152) << qint64(1457152) << qint64(1);
    QTest::newRow("one over") << qint64(1457153) << qint64(1457152) << qint64(2);
    QTest::newRow("2^31-1 at 1.44MB") << qint64(2147483647) << qint64(1457152) << qint64(1474);
    QTest::newRow("5 GiB at 230MB") << (qint64(5) << 30) << qint64(229999616) << qint64(24);
    QTest::newRow("100 GiB at 1.44MB") << (qint64(100) << 30) << qint64(1457152) << qint64(73688);
}

void tst_DividePartWriter::partCount()
{
    QFETCH(qint64, length);
    QFETCH(qint64, size);
    QFETCH(qint64, expected);
    QCOMPARE(PartWriter::partCount(length, size), expected);
}

void tst_DividePartWriter::partsConcatenateToTheSource_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("kernel");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("sizes");
    const QStringList three{"d_bin_003.001", "d_bin_003.002", "d_bin_003.003"};
    QTest::newRow("3·S") << 3000 << true << three << QList<int>{1000, 1000, 1000};
    QTest::newRow("2·S+1") << 2001 << true << three << QList<int>{1000, 1000, 1};
    QTest::newRow("2·S+1 buffered") << 2001 << false << three << QList<int>{1000, 1000, 1};
}

void tst_DividePartWriter::partsConcatenateToTheSource()
{
    QFETCH(int, length);
    QFETCH(bool, kernel);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, sizes);
    ByteCopier::setKernelCopyAllowed(kernel);
    const QByteArray data = pattern(length);
    QVERIFY(writeFile(folder() + "d.bin", data));
    ScriptedProgress progress;

    const PartWriter::Result r = PartWriter::divide(folder() + "d.bin", dir_.path(),
                                                    PartName::base("d.bin", 3), 1000, progress, length);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(!r.cancelled);
    QStringList expectedPaths;
    QByteArray joined;
    for (int i = 0; i < names.size(); ++i) {
        expectedPaths << folder() + names[i];
        const QByteArray part = read(folder() + names[i]);
        QCOMPARE(part.size(), sizes[i]);
        joined += part;
    }
    QCOMPARE(r.written, expectedPaths);
    QCOMPARE(joined, data);
    // Only the source and the parts: no temporary file stays behind.
    QCOMPARE(entries(), QStringList{"d.bin"} + names);
}

void tst_DividePartWriter::reportsEachPartByName()
{
    QVERIFY(writeFile(folder() + "m.avi", pattern(2500)));
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "m.avi", folder(), "m_avi_003", 1000, progress);
    QVERIFY(r.ok);
    QCOMPARE(progress.captions, QStringList{"分割"});
    QCOMPARE(progress.total, qint64(2500));
    QCOMPARE(progress.items, (QStringList{"m_avi_003.001 (1/3)", "m_avi_003.002 (2/3)", "m_avi_003.003 (3/3)"}));
    QCOMPARE(progress.lastDone, qint64(2500));
    QCOMPARE(progress.finishes, 1);
}

void tst_DividePartWriter::emptyFileWritesNothing()
{
    QVERIFY(writeFile(folder() + "e.txt", {}));
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "e.txt", folder(), "e_txt_000", 1000, progress);
    QVERIFY(r.ok);
    QVERIFY(r.written.isEmpty());
    QCOMPARE(entries(), QStringList{"e.txt"});
}

void tst_DividePartWriter::replacesALongerPartWhole()
{
    const QByteArray data = pattern(1500);
    QVERIFY(writeFile(folder() + "r.dat", data));
    QVERIFY(writeFile(folder() + "r_dat_002.002", QByteArray(9000, 'Z')));
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "r.dat", folder(), "r_dat_002", 1000, progress);
    QVERIFY(r.ok);
    QCOMPARE(read(folder() + "r_dat_002.002"), data.mid(1000));
}

void tst_DividePartWriter::cancelRemovesThePartsOfThisRun()
{
    const QByteArray data = pattern(3000);
    QVERIFY(writeFile(folder() + "c.bin", data));
    ScriptedProgress progress;
    progress.cancelAtReport(4); // during the second part, after the first is in place
    const PartWriter::Result r = PartWriter::divide(folder() + "c.bin", folder(), "c_bin_003", 1000, progress);
    QVERIFY(!r.ok);
    QVERIFY(r.cancelled);
    QVERIFY(r.error.isEmpty());
    QVERIFY(r.written.isEmpty());
    QCOMPARE(progress.finishes, 1);
    QCOMPARE(entries(), QStringList{"c.bin"});
    QCOMPARE(read(folder() + "c.bin"), data);
}

// The third part's name is taken by a folder: the first two parts, already in place, go again,
// the folder and its content stay, and the reason names the part.
void tst_DividePartWriter::failurePartWayRemovesThePartsAndKeepsTheOthers()
{
    QVERIFY(writeFile(folder() + "f.bin", pattern(3000)));
    QVERIFY(QDir(dir_.path()).mkpath("f_bin_003.003/inside"));
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "f.bin", folder(), "f_bin_003", 1000, progress);
    QVERIFY(!r.ok);
    QVERIFY(!r.cancelled);
    QVERIFY2(r.error.startsWith("f_bin_003.003 を作れませんでした。"), qPrintable(r.error));
    QCOMPARE(entries(), (QStringList{"f.bin", "f_bin_003.003"}));
    QVERIFY(QDir(folder() + "f_bin_003.003/inside").exists());
}

void tst_DividePartWriter::aFullDiskLeavesAnOldSameNamedPartIntact()
{
    for (bool kernel : {true, false}) {
        init();
        ByteCopier::setKernelCopyAllowed(kernel);
        QVERIFY(writeFile(folder() + "g.bin", pattern(20000)));
        QVERIFY(writeFile(folder() + "g_bin_002.001", "old part"));
        ScriptedProgress progress;
        PartWriter::Result r;
        {
            FileSizeLimit limit(6000);
            r = PartWriter::divide(folder() + "g.bin", folder(), "g_bin_002", 10000, progress);
        }
        QVERIFY(!r.ok);
        QVERIFY2(r.error.startsWith("g_bin_002.001 を書き込めませんでした。"), qPrintable(r.error));
        QVERIFY2(r.error.endsWith("ファイルが大きすぎて、このメディアには書き込めません。"), qPrintable(r.error));
        QCOMPARE(entries(), (QStringList{"g.bin", "g_bin_002.001"}));
        QCOMPARE(read(folder() + "g_bin_002.001"), QByteArray("old part"));
    }
}

void tst_DividePartWriter::aReadOnlyFolderFailsCleanly()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QVERIFY(writeFile(folder() + "ro.bin", pattern(2500)));
    QVERIFY(QDir(dir_.path()).mkdir("out"));
    QFile::setPermissions(folder() + "out", QFile::ReadOwner | QFile::ExeOwner);
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "ro.bin", folder() + "out", "ro_bin_003", 1000, progress);
    QFile::setPermissions(folder() + "out", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("ro_bin_003.001 を作れませんでした。アクセスが拒否されました。"));
    QVERIFY(QDir(folder() + "out").isEmpty());
}

void tst_DividePartWriter::partsOfAPrivateFileStayPrivate()
{
    const mode_t oldMask = ::umask(022);
    QVERIFY(writeFile(folder() + "key.pem", pattern(2500)));
    QVERIFY(writeFile(folder() + "open.txt", pattern(2500)));
    QVERIFY(::chmod(QFile::encodeName(folder() + "key.pem").constData(), 0600) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder() + "open.txt").constData(), 0644) == 0);
    ScriptedProgress progress;
    const PartWriter::Result secret = PartWriter::divide(folder() + "key.pem", folder(), "key_pem_003", 1000, progress);
    const PartWriter::Result plain = PartWriter::divide(folder() + "open.txt", folder(), "open_txt_003", 1000, progress);
    ::umask(oldMask);
    QVERIFY(secret.ok && plain.ok);
    const auto modeOf = [](const QString& path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    for (const QString& part : secret.written)
        QCOMPARE(modeOf(part), 0600);
    for (const QString& part : plain.written)
        QCOMPARE(modeOf(part), 0644);
}

// The selected name is a link to the file that the second part would replace:
// writing parts would take the data's only name away. Nothing is written.
void tst_DividePartWriter::aLinkToOneOfItsOwnPartsIsNotDivided()
{
    const QByteArray data = pattern(2500);
    QVERIFY(writeFile(folder() + "l_bin_003.002", data));
    QVERIFY(QFile::link(folder() + "l_bin_003.002", folder() + "l.bin"));
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "l.bin", folder(), "l_bin_003", 1000, progress);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith("l_bin_003.002 は l.bin そのもの"), qPrintable(r.error));
    QCOMPARE(entries(), (QStringList{"l.bin", "l_bin_003.002"}));
    QCOMPARE(read(folder() + "l_bin_003.002"), data);
}

void tst_DividePartWriter::aMissingSourceFails()
{
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "gone.bin", folder(), "gone_bin_002", 1000, progress);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("gone.bin を開けませんでした。ファイルまたはフォルダが見付かりません。"));
    QCOMPARE(progress.reports, 0);
    QVERIFY(entries().isEmpty());
}

// Opening a FIFO for reading would wait for a writer that never comes.
void tst_DividePartWriter::aPipeIsRefusedWithoutWaitingForAWriter()
{
    QVERIFY(::mkfifo(QFile::encodeName(folder() + "pipe").constData(), 0644) == 0);
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "pipe", folder(), "pipe", 1000, progress);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("pipe は普通のファイルではありません。"));
    QVERIFY(entries().isEmpty()); // no part; the FIFO itself is no file to QDir
}

// A part name of 248 bytes is allowed; a temporary name made longer from it would not be.
// One byte more than the limit allows fails with the reason, leaving nothing behind.
void tst_DividePartWriter::namesNearTheLengthLimit()
{
    const QString name = QString(236, QLatin1Char('a')) + ".bin";
    QVERIFY(writeFile(folder() + name, pattern(1500)));
    ScriptedProgress progress;
    PartWriter::Result r = PartWriter::divide(folder() + name, folder(), PartName::base(name, 2), 1000, progress);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.written.size(), 2);
    QCOMPARE(QFileInfo(r.written[1]).fileName().size(), 248);
    QCOMPARE(entries().size(), 3);

    const QString tooLong = QString(244, QLatin1Char('b')) + ".bin";
    QVERIFY(writeFile(folder() + tooLong, pattern(1500)));
    r = PartWriter::divide(folder() + tooLong, folder(), PartName::base(tooLong, 2), 1000, progress);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.endsWith("ファイル名が長すぎます。"), qPrintable(r.error));
    QCOMPARE(entries().size(), 4);
}

// The command counted the parts from a length the file no longer has: parts that do not match
// their names must not be written.
void tst_DividePartWriter::aSourceShorterThanMeasuredFails()
{
    QVERIFY(writeFile(folder() + "s.bin", pattern(2500)));
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "s.bin", folder(), "s_bin_004", 1000, progress, 3500);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("s.bin の大きさが変わりました。もう一度分割して下さい。"));
    QCOMPARE(entries(), QStringList{"s.bin"});
}

// 5 GiB, sparse, with markers across part boundaries and past 4 GiB: 24 parts of 229,999,616
// bytes, the last the rest, each marker at its place within its part.
void tst_DividePartWriter::dividesFilesPastFourGibibytes()
{
    const qint64 length = qint64(5) << 30;
    const qint64 size = 229999616;
    const QList<qint64> markers{0, size - 3, 2 * size, (qint64(4) << 30) + 17, length - 8};
    {
        QFile f(folder() + "huge.img");
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(length));
        for (qint64 at : markers) {
            QVERIFY(f.seek(at));
            QCOMPARE(f.write("MARKER!!"), qint64(8));
        }
    }
    ScriptedProgress progress;
    const PartWriter::Result r = PartWriter::divide(folder() + "huge.img", folder(), PartName::base("huge.img", 24),
                                                    size, progress, length);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.written.size(), 24);
    QCOMPARE(r.written.first(), folder() + "huge_img_024.001");
    QCOMPARE(r.written.last(), folder() + "huge_img_024.024");
    for (int k = 1; k <= 24; ++k)
        QCOMPARE(QFileInfo(r.written[k - 1]).size(), k < 24 ? size : length - 23 * size);
    for (qint64 at : markers) {
        QByteArray found;
        for (qint64 i = at; i < at + 8; ++i) {
            QFile part(r.written[int(i / size)]);
            QVERIFY(part.open(QIODevice::ReadOnly));
            QVERIFY(part.seek(i % size));
            found += part.read(1);
        }
        QCOMPARE(found, QByteArray("MARKER!!"));
    }
    // Between markers the parts read zeros.
    QFile third(r.written[2]);
    QVERIFY(third.open(QIODevice::ReadOnly));
    QVERIFY(third.seek(100));
    QCOMPARE(third.read(4096), QByteArray(4096, '\0'));
}

QTEST_APPLESS_MAIN(tst_DividePartWriter)
#include "tst_DividePartWriter.moc"
