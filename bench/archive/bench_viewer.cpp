// Opens each archive given on the command line in the archive viewer and
// prints how long it took: the library's listing alone, then the whole
// opening (listing, icons, items, select-all) and the first paint. Each
// archive is opened RUNS times (default 3) in a fresh viewer; the best and the
// worst are printed. Usage: bench_viewer [--runs N] ARCHIVE...
#include "archive/ArchiveState.h"
#include "archive/LibraryArchiver.h"
#include "archive/frmExtract.h"
#include "platform/ProgressWindow.h"
#include "platform/QtPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

ArchiverKind kindOf(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toUpper();
    if (ext == QLatin1String("ZIP"))
        return ArchiverKind::UnZip;
    if (ext == QLatin1String("CAB"))
        return ArchiverKind::Cab;
    return ArchiverKind::Unlha;
}

double seconds(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e9; }

// CPU time of this process (user + system), in seconds.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 3;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = std::max(1, args[1].toInt());
        args = args.mid(2);
    }
    LibraryArchiver archiver;
    QtPrompter prompter;
    for (const QString& path : args) {
        std::vector<double> listing, open, painted, cpu;
        int entries = 0;
        for (int i = 0; i < runs; ++i) {
            ArchiveUi ui{prompter, nullptr, [] { return std::make_unique<ProgressWindow>(nullptr); }};
            QElapsedTimer t;
            t.start();
            int count = 0;
            archiver.list(kindOf(path), path, ui, [&](const EntryInfo&) { ++count; });
            listing.push_back(seconds(t));

            ArchiveState state;
            state.archivePath = path;
            t.restart();
            const double cpuStart = cpuSeconds();
            frmExtract viewer(archiver, state, prompter);
            open.push_back(seconds(t));
            viewer.show();
            QApplication::processEvents();
            painted.push_back(seconds(t));
            cpu.push_back(cpuSeconds() - cpuStart);
            entries = viewer.itemCount();
            if (viewer.selectedEntries().size() != entries || count != entries) {
                std::fprintf(stderr, "%s: %d listed, %d items, %lld selected\n", qPrintable(path), count,
                             entries, static_cast<long long>(viewer.selectedEntries().size()));
                return 1;
            }
        }
        const auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
        const auto worst = [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); };
        std::printf("  %-10s %6d entries: library listing alone %.3f s | viewer open %.3f s | "
                    "shown wall %.3f s (worst %.3f)  cpu %.3f s\n",
                    qPrintable(QFileInfo(path).fileName()), entries, best(listing), best(open),
                    best(painted), worst(painted), best(cpu));
    }
    return 0;
}
