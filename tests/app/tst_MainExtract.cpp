#include "AppTestSupport.h"

#include "archive/frmExtract.h"
#include "platform/ScriptedPrompter.h"
#include "../support/RecordingArchiver.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QtTest>

// Extract from the real main window: the toolbar button opens the viewer modally on the selected archive through the window's
// Archiver, and the window lists its folder again when the viewer closes.
class tst_MainExtract : public QObject {
    Q_OBJECT

    struct Seen {
        QString title;
        int items = -1;
        bool modal = false;
    };

    // Closes the viewer as soon as it is up, noting what it showed; meanwhile
    // a file appears in the folder, as an extraction would leave it.
    static void closeViewerWhenShown(Seen& seen, const QString& newFile)
    {
        QTimer::singleShot(0, [&seen, newFile] {
            auto* viewer = qobject_cast<frmExtract*>(QApplication::activeModalWidget());
            if (viewer == nullptr)
                return;
            seen = {viewer->lblTitle->text(), viewer->itemCount(), viewer->isModal()};
            QFile(newFile).open(QIODevice::WriteOnly);
            viewer->close();
        });
    }

private slots:
    void extractOpensTheViewerAndRefreshes()
    {
        SettingsSandbox box;
        ScriptedPrompter prompter;
        QTemporaryDir files;
        const QString root = files.path() + "/";
        QFile(root + "a.lzh").open(QIODevice::WriteOnly);

        frmMain w(prompter);
        auto recording = std::make_unique<RecordingArchiver>();
        RecordingArchiver* archiver = recording.get();
        archiver->archives.insert(root + "a.lzh", {{"one.txt"}, {"two.txt"}});
        w.setArchiver(std::move(recording));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(!w.TimerForToolBar->isActive());
        showOnlyVolume(w, root);
        w.tvTreeView->setPath(root);
        QVERIFY(w.lvListView->selectOnly(root + "a.lzh"));
        w.setListClicked(true);

        Seen seen;
        closeViewerWhenShown(seen, root + "extracted.txt");
        w.tbToolBar_ButtonClick(QStringLiteral("解凍"));
        QCOMPARE(seen.title, root + "a.lzh");
        QCOMPARE(seen.items, 2);
        QVERIFY(seen.modal);
        QCOMPARE(w.archiveState().archiveType, QStringLiteral("LZH"));
        QVERIFY(w.lvListView->rowOfKey(root + "extracted.txt") >= 0);
        QCOMPARE(archiver->listings, 1);
        QCOMPARE(prompter.pendingAnswers(), 0);
        QVERIFY(prompter.questions().isEmpty());
    }
};

QTEST_MAIN(tst_MainExtract)
#include "tst_MainExtract.moc"
