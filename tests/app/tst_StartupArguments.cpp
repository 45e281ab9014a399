#include "AppTestSupport.h"

#include "app/StartupArguments.h"
#include "archive/frmExtract.h"
#include "platform/ScriptedPrompter.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

// The command line of kestrel: how it is read, and what the real main window
// shows for a folder, an archive and a path that is not there.
class tst_StartupArguments : public QObject {
    Q_OBJECT

    // The names of the listed entries.
    static QStringList listed(frmMain& w)
    {
        QStringList names;
        for (int i = 0; i < w.lvListView->count(); ++i)
            names << w.lvListView->item(i).name;
        return names;
    }

    // The tree's selection, the current path, the list title and the list agree on `folder`.
    static void verifyShowing(frmMain& w, const QString& folder, const QString& entry)
    {
        QCOMPARE(w.Path(), folder + "/");
        QCOMPARE(w.tvTreeView->selectedKey(), folder + "/");
        QCOMPARE(w.lblTitle(1)->text(), folder + "/");
        QVERIFY2(listed(w).contains(entry), qPrintable(listed(w).join(',')));
    }

    // Runs the built program next to this test.
    static QProcess* runKestrel(const QStringList& arguments)
    {
        auto* p = new QProcess;
        p->setProgram(QCoreApplication::applicationDirPath() + "/kestrel");
        p->setArguments(arguments);
        p->start();
        p->waitForFinished(30000);
        return p;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void readsPathsAndOptions()
    {
        QTemporaryDir dir;
        const QString root = QDir::cleanPath(dir.path());
        QVERIFY(QDir().mkpath(root + "/sub"));
        for (const QString name : {"a.LZH", "b.zip", "c.cab", "notes.txt", "arc.lzh.bak"}) {
            QFile f(root + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        using K = StartupArguments::Kind;
        const auto kind = [](const QStringList& args) { return StartupArguments::parse(args).kind(); };
        QCOMPARE(kind({}), K::None);
        QCOMPARE(kind({root + "/sub"}), K::Folder);
        QCOMPARE(kind({root + "/a.LZH"}), K::Archive);
        QCOMPARE(kind({root + "/b.zip"}), K::Archive);
        QCOMPARE(kind({"--", root + "/c.cab"}), K::Archive);
        QCOMPARE(kind({root + "/nothing"}), K::Missing);
        QCOMPARE(kind({"--version"}), K::Version);
        QCOMPARE(kind({"-h"}), K::Help);
        QCOMPARE(kind({"--frobnicate"}), K::Usage);
        QCOMPARE(kind({root + "/sub", root + "/b.zip"}), K::Usage);
        // A relative folder, with dots, becomes its clean absolute path.
        QVERIFY(QDir::setCurrent(root));
        QCOMPARE(StartupArguments::parse({"./sub/../sub/"}).path(), root + "/sub");
        // Any other file: its folder, not an archive by the last-dot rule.
        const StartupArguments other = StartupArguments::parse({root + "/arc.lzh.bak"});
        QCOMPARE(other.kind(), K::Folder);
        QCOMPARE(other.path(), root);
        if (geteuid() != 0) {
            QVERIFY(QFile::setPermissions(root + "/sub", QFileDevice::WriteOwner));
            QCOMPARE(kind({root + "/sub"}), K::Unreadable);
            QVERIFY(QFile::setPermissions(root + "/sub", QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                             | QFileDevice::ExeOwner));
        }
    }

    void windowOpensFolderAndArchiveFolder()
    {
        SettingsSandbox box;
        QTemporaryDir dir;
        const QString root = QDir::cleanPath(dir.path());
        QVERIFY(makeFolders(root, {"/docs/deep", "/other"}));
        QFile archive(root + "/docs/deep/photos.lzh");
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.close();
        ScriptedPrompter prompter;
        frmMain w(prompter);
        showOnlyVolume(w, root + "/");

        StartupArguments::parse({root + "/docs"}).apply(w, prompter);
        verifyShowing(w, root + "/docs", "deep");

        // The archive opens in the modal viewer, over its folder; an empty file
        // is no archive, which the viewer says. The viewer runs its own event
        // loop, so the check that closes it runs from inside that loop.
        prompter.answerMessage(Prompter::Answer::Ok, QStringLiteral("LZHﾌｧｲﾙの読込みができませんでした"));
        QString viewerTitle;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* viewer = qobject_cast<frmExtract*>(QApplication::activeModalWidget())) {
                viewerTitle = viewer->lblTitle->text();
                viewer->reject();
            }
        });
        closer.start(10);
        StartupArguments::parse({root + "/docs/deep/photos.lzh"}).apply(w, prompter);
        verifyShowing(w, root + "/docs/deep", "photos.lzh");
        QTRY_COMPARE(viewerTitle, root + "/docs/deep/photos.lzh");
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(prompter.pendingAnswers(), 0);
        QCOMPARE(prompter.questions().size(), 1);
    }

    void missingPathIsReportedAndWindowStartsPlain()
    {
        SettingsSandbox box;
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        frmMain w(prompter);
        showOnlyVolume(w, dir.path() + "/");
        const QString missing = dir.path() + "/gone/x.zip";
        prompter.answerMessage(Prompter::Answer::Ok);
        StartupArguments::parse({missing}).apply(w, prompter);
        QCOMPARE(prompter.questions().size(), 1);
        QCOMPARE(prompter.questions().first().text, missing + " が見つかりません。");
        QCOMPARE(prompter.questions().first().icon, Prompter::Icon::Exclamation);
        QCOMPARE(w.Path(), QString());
        QCOMPARE(w.lvListView->count(), 0);
    }

    void programAnswersOptionsWithoutWindow()
    {
        // No display at all: --version and --help must not need one.
        qputenv("QT_QPA_PLATFORM", "none-such");
        std::unique_ptr<QProcess> version(runKestrel({"--version"}));
        QCOMPARE(version->exitCode(), 0);
        QCOMPARE(QString::fromUtf8(version->readAllStandardOutput()), QStringLiteral("Kestrel " KESTREL_VERSION "\n"));
        std::unique_ptr<QProcess> help(runKestrel({"--help"}));
        QCOMPARE(help->exitCode(), 0);
        QVERIFY(QString::fromUtf8(help->readAllStandardOutput()).contains("--version"));
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::unique_ptr<QProcess> wrong(runKestrel({"--frobnicate"}));
        QCOMPARE(wrong->exitStatus(), QProcess::NormalExit);
        QCOMPARE(wrong->exitCode(), 2);
        QVERIFY(QString::fromUtf8(wrong->readAllStandardError()).contains("--frobnicate"));
    }
};

QTEST_MAIN(tst_StartupArguments)
#include "tst_StartupArguments.moc"
