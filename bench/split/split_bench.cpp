// Times one divide or one join through the program's own engines and prints
// "<seconds> <peak RSS growth in KiB>" for run.sh.
//   split_bench divide FILE FOLDER PARTSIZE
//   split_bench join OUTPUT PART...
#include "platform/Progress.h"
#include "split/JoinWriter.h"
#include "split/PartName.h"
#include "split/PartWriter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Keeps going and remembers nothing: the figures are the engine's alone.
class QuietProgress : public Progress {
public:
    void start(const QString&, qint64) override {}
    bool report(const QString&, qint64) override { return true; }
    void finish() override {}
};

// Resident set now, in KiB (from /proc/self/statm).
long residentKiB()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr)
        return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(f);
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

long peakKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int usage()
{
    std::fprintf(stderr, "usage: split_bench divide FILE FOLDER PARTSIZE | join OUTPUT PART...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return usage();
    const QString mode = QString::fromLocal8Bit(argv[1]);
    QuietProgress progress;
    const long before = residentKiB();
    QElapsedTimer timer;
    bool ok = false;
    QString error;

    if (mode == QLatin1String("divide") && argc == 5) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        const qint64 size = std::atoll(argv[4]);
        const qint64 length = QFileInfo(file).size();
        const QString base = PartName::base(QFileInfo(file).fileName(), PartWriter::partCount(length, size));
        timer.start();
        const PartWriter::Result r = PartWriter::divide(file, QString::fromLocal8Bit(argv[3]), base, size, progress, length);
        ok = r.ok;
        error = r.error;
    } else if (mode == QLatin1String("join")) {
        QStringList parts;
        for (int i = 3; i < argc; ++i)
            parts << QString::fromLocal8Bit(argv[i]);
        timer.start();
        const JoinWriter::Result r = JoinWriter::join(parts, QString::fromLocal8Bit(argv[2]), progress,
                                                      [](const QString&) { return std::nullopt; });
        ok = r.ok;
        error = r.error;
    } else {
        return usage();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%.3f %ld\n", seconds, peakKiB() - before);
    return 0;
}
