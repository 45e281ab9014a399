// Takes the pictures of the main window and its dialogs kept under docs/: run
// under a real X server (xvfb-run), not as a test; scripts/take-screenshots.sh
// makes the demo folder. Usage: app_screenshots DEMO_FOLDER OUT_DIR
#include "app/MainToolBar.h"
#include "app/Module1.h"
#include "app/StartupWait.h"
#include "app/frmMain.h"
#include "about/HelpWindow.h"
#include "browse/FileListView.h"
#include "browse/FolderTree.h"
#include "platform/ProgressWindow.h"
#include "platform/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void shootWidget(QWidget& w, const QString& file)
{
    const QRect frame = w.frameGeometry();
    QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(file);
}

void shoot(frmMain& w, const QString& file)
{
    settle(800);
    shootWidget(w, file);
}

// Runs a command that opens a modal dialog, photographs the dialog over the
// main window once it has settled, then closes it as Cancel would.
void shootModal(frmMain& w, const QString& file, const std::function<void()>& command)
{
    QTimer::singleShot(1200, [&w, file] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shootWidget(w, file);
            dialog->close();
        }
    });
    command();
}

// The same for a modal window photographed on its own.
void shootOwnModal(const QString& file, const std::function<void()>& command)
{
    QTimer::singleShot(1200, [file] {
        if (QWidget* window = QApplication::activeModalWidget()) {
            shootWidget(*window, file);
            window->close();
        }
    });
    command();
}

void selectInList(frmMain& w, const QString& key)
{
    w.lvListView->selectOnly(key);
    w.setListClicked(true);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString demo = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    const QString out = QString::fromLocal8Bit(argv[2]);
    // A roomier window than the first-run default, stored as a previous run
    // would, in a store of its own: the user's settings stay as they are.
    const QTemporaryDir settings;
    Module1::setSettingsRoot(settings.path());
    const auto key = Module1::CreateSettingsKey("Settings");
    for (const auto& [name, value] : {std::pair{"MainMax", "0"}, {"MainLeft", "600"}, {"MainTop", "600"},
                                      {"MainWidth", "11400"}, {"MainHeight", "7200"}})
        Module1::WriteSetting(key, name, value);
    Module1::CloseSettingsKey(key);
    QtPrompter prompter;
    StartupWait quick([] { static int t = 0; return t++; }, [] { settle(100); });
    auto w = Module1::Start(prompter, quick);
    w->tvTreeView->setPath(demo);
    if (QTreeWidgetItem* node = w->tvTreeView->nodeByKey(demo))
        w->tvTreeView->chooseNode(node);
    w->tbToolBar_ButtonClick(MainToolBar::viewKey(3));
    shoot(*w, out + "/main-details.png");
    w->tbToolBar_ButtonClick(MainToolBar::viewKey(0));
    shoot(*w, out + "/main-large-icons.png");
    w->tbToolBar_ButtonClick(MainToolBar::viewKey(1));
    shoot(*w, out + "/main-small-icons.png");
    w->tbToolBar_ButtonClick(MainToolBar::viewKey(2));
    shoot(*w, out + "/main-list.png");

    w->tbToolBar_ButtonClick(MainToolBar::viewKey(3));
    selectInList(*w, demo + "holiday.mp4");
    shootModal(*w, out + "/divide-dialog.png", [&w] { w->mnuFileDivide_Click(); });
    selectInList(*w, demo + "holiday_mp4_003.002");
    shootModal(*w, out + "/join-dialog.png", [&w] { w->mnuFileJoin_Click(); });
    shootModal(*w, out + "/about-box.png", [&w] { w->mnuHelpAbout_Click(); });
    selectInList(*w, demo + "archive.lzh");
    shootOwnModal(out + "/viewer.png", [&w] { w->mnuFileExtract_Click(); });
    {
        // The window that long work brings up, as a divide of 1 GiB shows it half-way.
        ProgressWindow progress(w.get());
        progress.start(QStringLiteral("分割"), 1'073'741'824);
        while (!progress.isVisible())
            progress.report(QStringLiteral("big_iso_011.006 (6/11)"), 536'870'912);
        settle(300);
        progress.report(QStringLiteral("big_iso_011.006 (6/11)"), 536'870'912);
        settle(500);
        shootWidget(*w, out + "/progress-window.png");
        progress.finish();
    }
    w->mnuHelpContents_Click();
    if (HelpWindow* help = HelpWindow::existing()) {
        help->resize(900, 600);
        settle(800);
        shootWidget(*help, out + "/help-window.png");
    }
    return 0;
}
