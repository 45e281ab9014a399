#include "platform/ByteCopier.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Bytes no two offsets of which repeat within a small window, so a misplaced block shows.
QByteArray pattern(qint64 size)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = char(x);
    }
    return data;
}

class Fd {
public:
    Fd(const QString& path, int flags) : fd_(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644)) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    int get() const { return fd_; }
private:
    int fd_;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class tst_ByteCopier : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void copiesASliceAtTheGivenOffsets_data();
    void copiesASliceAtTheGivenOffsets();
    void reportsEveryChunkAndStopsWhenTold();
    void aShortSourceFails_data();
    void aShortSourceFails();
    void copiesThroughPipes();
    void zeroLengthDoesNothing();

private:
    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    void write(const char* name, const QByteArray& data)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(data), qint64(data.size()));
    }
};

void tst_ByteCopier::init()
{
    ByteCopier::setKernelCopyAllowed(true);
}

void tst_ByteCopier::cleanup()
{
    ByteCopier::setKernelCopyAllowed(true);
}

void tst_ByteCopier::copiesASliceAtTheGivenOffsets_data()
{
    QTest::addColumn<bool>("kernel");
    QTest::newRow("copy_file_range") << true;
    QTest::newRow("buffered loop") << false;
}

// A slice from the middle of the source lands at a given offset of the output; the output's
// bytes before it are untouched and nothing follows it.
void tst_ByteCopier::copiesASliceAtTheGivenOffsets()
{
    QFETCH(bool, kernel);
    ByteCopier::setKernelCopyAllowed(kernel);
    const QByteArray source = pattern(3 * 1024 * 1024 + 777);
    write("in", source);
    write("out", QByteArray(100, 'x'));

    const qint64 from = 1000001, length = 2 * 1024 * 1024 + 5;
    Fd in(path("in"), O_RDONLY);
    Fd out(path("out"), O_WRONLY);
    const ByteCopier::Result r = ByteCopier::copy(in.get(), from, out.get(), 100, length, {});
    QCOMPARE(int(r.outcome), int(ByteCopier::Outcome::Done));
    QCOMPARE(r.copied, length);
    QCOMPARE(r.error, 0);
    QCOMPARE(readAll(path("out")), QByteArray(100, 'x') + source.mid(from, length));
    // The descriptors' own positions were not used, so a second slice needs no seek.
    QCOMPARE(::lseek(in.get(), 0, SEEK_CUR), off_t(0));
}

void tst_ByteCopier::reportsEveryChunkAndStopsWhenTold()
{
    // Sparse: 2.5 MiB of length costs almost no disk, and a marker sits past the second chunk.
    const qint64 length = 2 * ByteCopier::kChunk + ByteCopier::kChunk / 2;
    const qint64 marker = 2 * ByteCopier::kChunk + 3;
    {
        QFile f(path("sparse"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(length));
        QVERIFY(f.seek(marker));
        f.write("marker");
    }
    Fd in(path("sparse"), O_RDONLY);
    {
        Fd out(path("whole"), O_WRONLY | O_CREAT | O_TRUNC);
        QList<qint64> seen;
        const ByteCopier::Result r = ByteCopier::copy(in.get(), 0, out.get(), 0, length,
                                                      [&](qint64 soFar) { seen << soFar; return true; });
        QCOMPARE(int(r.outcome), int(ByteCopier::Outcome::Done));
        QCOMPARE(seen, (QList<qint64>{ByteCopier::kChunk, 2 * ByteCopier::kChunk, length}));
    }
    QCOMPARE(readAll(path("whole")).mid(marker, 6), QByteArray("marker"));

    Fd out(path("stopped"), O_WRONLY | O_CREAT | O_TRUNC);
    int calls = 0;
    const ByteCopier::Result r = ByteCopier::copy(in.get(), 0, out.get(), 0, length,
                                                  [&](qint64) { return ++calls < 1; });
    QCOMPARE(int(r.outcome), int(ByteCopier::Outcome::Cancelled));
    QCOMPARE(calls, 1);
    QCOMPARE(r.copied, ByteCopier::kChunk);
}

void tst_ByteCopier::aShortSourceFails_data()
{
    copiesASliceAtTheGivenOffsets_data();
}

// A source that ends before the asked length must never pass as a complete (short) part.
void tst_ByteCopier::aShortSourceFails()
{
    QFETCH(bool, kernel);
    ByteCopier::setKernelCopyAllowed(kernel);
    write("in", pattern(5000));
    Fd in(path("in"), O_RDONLY);
    Fd out(path("out"), O_WRONLY | O_CREAT | O_TRUNC);
    const ByteCopier::Result r = ByteCopier::copy(in.get(), 1000, out.get(), 0, 4001, {});
    QCOMPARE(int(r.outcome), int(ByteCopier::Outcome::Failed));
    QCOMPARE(r.error, EIO);
    QCOMPARE(r.copied, qint64(4000));
}

// Pipes cannot take copy_file_range offsets: the buffered loop must take over by itself.
void tst_ByteCopier::copiesThroughPipes()
{
    const QByteArray data = pattern(40000);
    int fds[2];
    QCOMPARE(::pipe(fds), 0);
    QCOMPARE(::write(fds[1], data.constData(), size_t(data.size())), ssize_t(data.size()));
    ::close(fds[1]);
    Fd out(path("out"), O_WRONLY | O_CREAT | O_TRUNC);
    const ByteCopier::Result r = ByteCopier::copy(fds[0], 0, out.get(), 0, data.size(), {});
    ::close(fds[0]);
    QCOMPARE(int(r.outcome), int(ByteCopier::Outcome::Done));
    QCOMPARE(readAll(path("out")), data);

    // And into one: a pipe holds 64 KiB, enough for the whole copy without a reader.
    QCOMPARE(::pipe(fds), 0);
    Fd in(path("out"), O_RDONLY);
    const ByteCopier::Result w = ByteCopier::copy(in.get(), 100, fds[1], 0, data.size() - 100, {});
    ::close(fds[1]);
    QCOMPARE(int(w.outcome), int(ByteCopier::Outcome::Done));
    QByteArray back(data.size(), '\0');
    qint64 got = 0;
    for (ssize_t n; (n = ::read(fds[0], back.data() + got, size_t(back.size() - got))) > 0;)
        got += n;
    ::close(fds[0]);
    QCOMPARE(back.left(got), data.mid(100));
}

void tst_ByteCopier::zeroLengthDoesNothing()
{
    Fd out(path("out"), O_WRONLY | O_CREAT | O_TRUNC);
    int calls = 0;
    const ByteCopier::Result r = ByteCopier::copy(-1, 0, out.get(), 0, 0, [&](qint64) { return ++calls > 0; });
    QCOMPARE(int(r.outcome), int(ByteCopier::Outcome::Done));
    QCOMPARE(calls, 0);
    QCOMPARE(QFileInfo(path("out")).size(), qint64(0));
}

QTEST_APPLESS_MAIN(tst_ByteCopier)
#include "tst_ByteCopier.moc"
