#include "archive/LibraryArchiver.h"
#include "archive/WindowArchiverHost.h"

#include "platform/ProgressWindow.h"
#include "platform/ScriptedProgress.h"
#include "platform/ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <cstring>

namespace {

// Hands the test's ScriptedProgress to the host, which owns what it is given.
class ForwardedProgress : public Progress {
public:
    explicit ForwardedProgress(ScriptedProgress& to) : to_(to) {}
    void start(const QString& caption, qint64 totalBytes) override { to_.start(caption, totalBytes); }
    bool report(const QString& item, qint64 bytesDone) override { return to_.report(item, bytesDone); }
    void finish() override { to_.finish(); }

private:
    ScriptedProgress& to_;
};

struct Window {
    ScriptedPrompter prompter;
    ScriptedProgress progress;
    QWidget owner;
    ArchiveUi ui{prompter, &owner, [this] { return std::make_unique<ForwardedProgress>(progress); }};
};

} // namespace

// The window's KestrelHost: what a library's questions become in the window.
class tst_WindowArchiverHost : public QObject {
    Q_OBJECT

private slots:
    void questionsGoThroughThePrompter()
    {
        Window w;
        WindowArchiverHost host(w.ui, QStringLiteral("解凍"));
        KestrelHost* h = host.host();

        const struct {
            Prompter::Answer answer;
            int expected;
        } answers[] = {{Prompter::Answer::Yes, KH_YES},
                       {Prompter::Answer::YesToAll, KH_YES_TO_ALL},
                       {Prompter::Answer::No, KH_NO},
                       {Prompter::Answer::Cancel, KH_CANCEL}};
        for (const auto& a : answers) {
            w.prompter.answerMessage(a.answer, QStringLiteral("a.txt は既に存在します。上書きしますか?"));
            QCOMPARE(h->askYesNo(h->context, "a.txt は既に存在します。上書きしますか?"), a.expected);
            QCOMPARE(w.prompter.questions().constLast().buttons, Prompter::Buttons::YesYesToAllNoCancel);
        }

        char answer[32];
        w.prompter.answerInput(QStringLiteral("新しい名前.txt"), QStringLiteral("新しい名前"));
        QCOMPARE(h->askText(h->context, "新しい名前", "a.txt", 0, answer, sizeof answer), 1);
        QCOMPARE(QString::fromUtf8(answer), QStringLiteral("新しい名前.txt"));
        QVERIFY(!w.prompter.questions().constLast().secret);

        w.prompter.answerInput(QStringLiteral("pass"), QStringLiteral("パスワード"));
        QCOMPARE(h->askText(h->context, "パスワード", "", 1, answer, sizeof answer), 1);
        QVERIFY(w.prompter.questions().constLast().secret);
        w.prompter.answerInput(std::nullopt);
        QCOMPARE(h->askText(h->context, "パスワード", "", 1, answer, sizeof answer), 0);

        char path[64];
        w.prompter.answerOpenFile(QStringLiteral("/media/b/set2.cab"), QStringLiteral("次のキャビネット"));
        QCOMPARE(h->askFile(h->context, "次のキャビネット", "set2.cab", path, sizeof path), 1);
        QCOMPARE(QString::fromUtf8(path), QStringLiteral("/media/b/set2.cab"));
        QVERIFY(w.prompter.questions().constLast().filter.startsWith(QStringLiteral("set2.cab (set2.cab)")));
        QCOMPARE(w.prompter.pendingAnswers(), 0);
    }

    void progressIsOneWindowAndCancelStopsTheLibrary()
    {
        Window w;
        w.progress.cancelAtReport(3);
        {
            WindowArchiverHost host(w.ui, QStringLiteral("圧縮"));
            KestrelHost* h = host.host();
            QCOMPARE(h->progress(h->context, "a.txt", 0, 300), 0);
            QCOMPARE(h->progress(h->context, "b.txt", 100, 300), 0);
            QVERIFY(h->progress(h->context, "b.txt", 200, 300) != 0);
        }
        QCOMPARE(w.progress.captions, QStringList{QStringLiteral("圧縮")});
        QCOMPARE(w.progress.total, 300);
        QCOMPARE(w.progress.items, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
        QCOMPARE(w.progress.finishes, 1);
    }

    // While a library runs no other window takes input, and its own window stays.
    void theCallingWindowIsHeldAndTheProgressIsApplicationModal()
    {
        ScriptedPrompter prompter;
        QWidget owner;
        owner.show();
        QPointer<ProgressWindow> made;
        ArchiveUi ui{prompter, &owner, [&] {
                         auto window = std::make_unique<ProgressWindow>(&owner);
                         made = window.get();
                         return std::unique_ptr<Progress>(std::move(window));
                     }};
        {
            WindowArchiverHost host(ui, QStringLiteral("解凍"));
            host.host()->progress(host.host()->context, "a.txt", 1, 2);
            QVERIFY(made);
            QCOMPARE(made->windowModality(), Qt::ApplicationModal);
            QVERIFY(!owner.close());
            QVERIFY(owner.isVisible());
        }
        QVERIFY(owner.close());
    }

    void bufferStaysBetween4KiBAnd1MiB()
    {
        QCOMPARE(LibraryArchiver::bufferSizeFor(0), 4096);
        QCOMPARE(LibraryArchiver::bufferSizeFor(32000), 32000);
        QCOMPARE(LibraryArchiver::bufferSizeFor(qint64(4) << 30), 1024 * 1024);
    }

    void aLibraryThatCannotBeLoadedEndsOnlyItsCall()
    {
        Window w;
        LibraryArchiver archiver(std::vector<std::string>{"/nonexistent-kestrel/"});
        const ArchiverOutcome outcome =
            archiver.run({ArchiverKind::Cab, QStringLiteral("-x \"a.cab\" \"/tmp/\""), 32000, QStringLiteral("解凍")},
                         w.ui);
        QVERIFY(!outcome.loaded);
        QVERIFY2(outcome.loadError.contains(QStringLiteral("libcab32.so")), qPrintable(outcome.loadError));
        QVERIFY2(outcome.loadError.contains(QStringLiteral("/nonexistent-kestrel/libcab32.so")),
                 qPrintable(outcome.loadError));
        ArchiverOutcome listed;
        QVERIFY(!archiver.list(ArchiverKind::Cab, QStringLiteral("a.cab"), w.ui, [](const EntryInfo&) {}, &listed));
        QVERIFY(!listed.loaded);
    }

    // The real library next to the test, through the window's host: its overwrite
    // question reaches the prompter and its progress the command's window.
    void aRealLibraryAsksAndReportsThroughTheWindow()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("a.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(200000, 'k'));
        file.close();
        const QString archive = dir.filePath(QStringLiteral("a.lzh"));
        const QString folder = dir.path() + QLatin1Char('/');
        Window w;
        LibraryArchiver archiver;
        const QString pack = QStringLiteral("a \"%1\" \"%2\" \"a.txt\"").arg(archive, folder);
        ArchiverOutcome outcome = archiver.run({ArchiverKind::Unlha, pack, 32000, QStringLiteral("圧縮")}, w.ui);
        QVERIFY2(outcome.loaded, qPrintable(outcome.loadError));
        QCOMPARE(outcome.result, int(KA_OK));
        QCOMPARE(w.progress.lastDone, 200000);

        // Extracting beside the file asks before replacing it.
        w.prompter.answerMessage(Prompter::Answer::Cancel);
        const QString extract = QStringLiteral("x -m0 \"%1\" \"%2\"").arg(archive, folder);
        outcome = archiver.run({ArchiverKind::Unlha, extract, 32000, QStringLiteral("解凍")}, w.ui);
        QCOMPARE(outcome.result, int(KA_ERR_CANCELLED));
        QCOMPARE(w.prompter.questions().constLast().buttons, Prompter::Buttons::YesYesToAllNoCancel);
    }
};

QTEST_MAIN(tst_WindowArchiverHost)
#include "tst_WindowArchiverHost.moc"
