// Takes the pictures of the compression dialog kept under docs/ (its LHA and
// CAB frames): run under a real X server (xvfb-run), not as a test.
// Usage: archive_screenshots OUT_DIR
#include "archive/LibraryArchiver.h"
#include "archive/frmCompressDialog.h"
#include "browse/CommandHost.h"
#include "platform/Progress.h"
#include "platform/QtPrompter.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QTimer>

namespace {

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void shoot(QWidget& w, const QString& file)
{
    settle(600);
    const QRect frame = w.frameGeometry();
    QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(file);
}

// The dialog reads only the prompter, the owner and the current path of its window.
class PictureHost : public CommandHost {
public:
    Prompter& prompter() override { return prompts; }
    QString Path() const override { return QStringLiteral("/"); }
    void storePath(const QString&) override {}
    bool listClicked() const override { return false; }
    void setListClicked(bool) override {}
    QLabel* lblTitle(int) override { return nullptr; }
    FolderTree* folderTree() override { return nullptr; }
    FileListView* fileList() override { return nullptr; }
    QWidget* ownerWindow() override { return nullptr; }
    QStringList& pathList() override { return paths; }
    bool copyMode() const override { return false; }
    void setCopyMode(bool) override {}
    void refreshAll() override {}
    std::unique_ptr<Progress> makeProgress() override { return nullptr; }

    QtPrompter prompts;
    QStringList paths;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    PictureHost host;
    LibraryArchiver archiver;
    frmCompressDialog dialog(host, archiver, {QStringLiteral("/tmp/")});
    dialog.move(40, 40);
    dialog.show();
    shoot(dialog, out + QStringLiteral("/compress-dialog-lha.png"));
    dialog.cmbCompMethod->setCurrentIndex(1);
    dialog.cmbCompMethod_Click();
    shoot(dialog, out + QStringLiteral("/compress-dialog-cab.png"));
    return 0;
}
