// Lists a folder of 100,000 files and 1,000 folders through the file list and
// through a bare readdir + fstatat + sort, and prints both times.
//
//   bench_list_folder [folder]   (default /tmp/kestrel-bench-list; made if missing, kept)

#include "browse/BrowseHost.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "platform/Prompter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Listing asks nothing; any question would be a fault of the benchmark.
class SilentPrompter : public Prompter {
public:
    Answer message(const QString&, Buttons, Icon, const QString&) override { return Answer::Ok; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> pickFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&,
                                    const QString&) override { return {}; }
};

class BenchHost : public BrowseHost {
public:
    BenchHost() : tree(*this), list(*this) {}
    Prompter& prompter() override { return prompts; }
    QString Path() const override { return path; }
    void storePath(const QString& p) override { path = p; }
    bool listClicked() const override { return false; }
    void setListClicked(bool) override {}
    QLabel* lblTitle(int) override { return nullptr; }
    FolderTree* folderTree() override { return &tree; }
    FileListView* fileList() override { return &list; }

    SilentPrompter prompts;
    QString path;
    FolderTree tree;
    FileListView list;
};

constexpr int FileCount = 100000;
constexpr int FolderCount = 1000;

void makeCorpus(const std::string& dir)
{
    const std::string marker = dir + ".complete";
    if (::access(marker.c_str(), F_OK) == 0)
        return;
    ::mkdir(dir.c_str(), 0755);
    static const char* const extensions[] = {".txt", ".jpg", ".png", ".c", ".h", ".pdf", ".zip",
                                             ".lzh", ".cab", ".exe", ".ico", ".html", ".mp3",
                                             ".doc", "", ".tar.gz", ".cpp", ".md", ".json", ".xml"};
    for (int i = 0; i < FileCount; ++i) {
        const std::string name = dir + "/file" + std::to_string(i * 7919 % FileCount) +
                                 extensions[i % 20];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            if (i % 50 == 0)
                (void)!::write(fd, "some bytes", 10);
            ::close(fd);
        }
    }
    for (int i = 0; i < FolderCount; ++i)
        ::mkdir((dir + "/Folder" + std::to_string(i)).c_str(), 0755);
    ::close(::open(marker.c_str(), O_WRONLY | O_CREAT, 0644));
}

// Processor time of this thread: steadier than the wall clock on a busy machine.
double cpuSeconds()
{
    timespec t {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Times {
    double wall = 0;
    double cpu = 0;
};

struct Bare {
    std::string name;
    long long size;
    long long mtime;
    bool folder;
};

// What any program must do at least: read the names, stat each, sort.
Times bareListing(const std::string& dir, std::size_t* count)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    std::vector<Bare> entries;
    DIR* d = ::opendir(dir.c_str());
    const int fd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2])))
            continue;
        struct stat st {};
        if (::fstatat(fd, e->d_name, &st, 0) != 0)
            continue;
        entries.push_back({e->d_name, static_cast<long long>(st.st_size),
                           static_cast<long long>(st.st_mtime), S_ISDIR(st.st_mode)});
    }
    ::closedir(d);
    std::sort(entries.begin(), entries.end(), [](const Bare& a, const Bare& b) {
        if (a.folder != b.folder)
            return a.folder;
        return ::strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
    });
    *count = entries.size();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, cpuSeconds() - cpu};
}

// ListFolder as the window calls it, then the view's layout of the result.
void kestrelListing(BenchHost& host, const QString& dir, int mode, Times* list, double* layout)
{
    host.list.setView(mode);
    host.list.clear();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    host.list.ListFolder(dir);
    *list = {static_cast<double>(timer.nsecsElapsed()) / 1e9, cpuSeconds() - cpu};
    timer.restart();
    host.list.currentView()->doItemsLayout();
    QCoreApplication::processEvents();
    *layout = static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QStringLiteral("/tmp/kestrel-bench-list");
    const std::string native = QFile::encodeName(dir).toStdString();
    std::printf("corpus: %s (%d files, %d folders)\n", native.c_str(), FileCount, FolderCount);
    makeCorpus(native);

    BenchHost host;
    host.list.resize(800, 600);
    host.list.show();
    std::size_t count = 0;
    bareListing(native, &count);  // warm the caches once for both
    for (int round = 1; round <= 2; ++round) {
        const Times bare = bareListing(native, &count);
        std::printf("round %d: bare readdir+fstatat+sort  %6.3f s (cpu %6.3f s)  %zu entries\n",
                    round, bare.wall, bare.cpu, count);
        for (int mode : {0, 3}) {
            Times list;
            double layout = 0;
            kestrelListing(host, dir, mode, &list, &layout);
            std::printf("round %d: ListFolder, view mode %d   %6.3f s (cpu %6.3f s)  %d items"
                        "  = %.2f x bare (cpu %.2f x); then view layout %.3f s\n",
                        round, mode, list.wall, list.cpu, host.list.count(), list.wall / bare.wall,
                        list.cpu / bare.cpu, layout);
        }
    }
    return 0;
}
