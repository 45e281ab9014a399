#include "archive/LibraryArchiver.h"
#include "archive/ViewerCommands.h"
#include "archivers/common/ArchiverApi.h"
#include "support/FakeViewerHost.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The viewer's commands with the real libraries, loaded from the build's bin
// folder next to this test.
namespace {

const QString FolderQuestion = QStringLiteral("圧縮ﾌｧｲﾙ内のﾌｫﾙﾀﾞを有効にしますか?");

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every file below `folder`, as "relative/path=contents".
QStringList tree(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files << QDir(folder).relativeFilePath(path) + QLatin1Char('=') + QString::fromUtf8(f.readAll());
    }
    files.sort();
    return files;
}

quint16 crc16(const QByteArray& data)
{
    quint16 crc = 0;
    for (char c : data) {
        crc ^= static_cast<quint8>(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

void put16(QByteArray& b, quint16 v) { b.append(char(v & 0xff)).append(char(v >> 8)); }
void put32(QByteArray& b, quint32 v) { put16(b, quint16(v & 0xffff)); put16(b, quint16(v >> 16)); }

// One stored (-lh0-) entry with a level-0 header, whatever its name says.
QByteArray storedEntry(const QByteArray& name, const QByteArray& data)
{
    QByteArray h;
    h.append("-lh0-");
    put32(h, quint32(data.size()));
    put32(h, quint32(data.size()));
    put16(h, 0x81C4);  // 16:14:08
    put16(h, 0x2D8F);  // 2002/12/15
    h.append(char(0x20)).append(char(0)).append(char(name.size())).append(name);
    put16(h, crc16(data));
    quint8 sum = 0;
    for (char c : h)
        sum += static_cast<quint8>(c);
    return QByteArray(1, char(h.size())) + QByteArray(1, char(sum)) + h + data;
}

} // namespace

class tst_ViewerCommandsLibraries : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void extractAddRenameDelete();
    void programRunsInACleanFolder_data();
    void programRunsInACleanFolder();
    void hostileArchiveWritesNothingOutside();

private:
    // Makes host_->path from a.txt, b.txt and docs/c.txt with `options`, and loads it.
    void makeArchive(const QString& type, const QString& options);
    // Extracts what is selected into `folder` (kept folders or not) and gives its files.
    QStringList extracted(const QString& folder, bool folders);

    LibraryArchiver archiver_;
    QTemporaryDir listFolder_;
    std::unique_ptr<QTemporaryDir> temp_;
    std::unique_ptr<FakeViewerHost> host_;
};

void tst_ViewerCommandsLibraries::initTestCase()
{
    // List files go to a folder of this test alone, so "none left" means this test's.
    QVERIFY(listFolder_.isValid());
    qputenv("TMPDIR", QFile::encodeName(listFolder_.path()));
}

void tst_ViewerCommandsLibraries::init()
{
    temp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(temp_->isValid());
    host_ = std::make_unique<FakeViewerHost>(archiver_);
}

void tst_ViewerCommandsLibraries::makeArchive(const QString& type, const QString& options)
{
    const QString src = temp_->filePath(QStringLiteral("src"));
    QVERIFY(writeFile(src + "/a.txt", "alpha") && writeFile(src + "/b.txt", "bravo")
            && writeFile(src + "/docs/c.txt", "charlie"));
    host_->type = type;
    host_->path = temp_->filePath(QStringLiteral("x.") + type.toLower());
    const ArchiverKind kind = type == QLatin1String("CAB") ? ArchiverKind::Cab : ArchiverKind::Unlha;
    const QString line = QStringLiteral("%1 \"%2\" \"%3/\" \"*.*\"").arg(options, host_->path, src);
    ArchiveUi ui{host_->prompts, &host_->window, [this] { return host_->makeProgress(); }};
    const ArchiverOutcome made = archiver_.run({kind, line, 32000, QStringLiteral("圧縮")}, ui);
    QVERIFY2(made.loaded && made.result == KA_OK, qPrintable(made.loadError + made.report));
    QVERIFY(host_->load());
}

QStringList tst_ViewerCommandsLibraries::extracted(const QString& folder, bool folders)
{
    host_->prompts.answerPickFolder(temp_->filePath(folder));
    host_->prompts.answerMessage(folders ? Prompter::Answer::Yes : Prompter::Answer::No, FolderQuestion);
    ViewerCommands(*host_).mnuFileMelt_Click();
    return tree(temp_->filePath(folder));
}

void tst_ViewerCommandsLibraries::extractAddRenameDelete()
{
    makeArchive(QStringLiteral("LZH"), QStringLiteral("a -x1 -r2"));
    host_->selected = {QStringLiteral("a.txt"), QStringLiteral("docs/c.txt")};
    QCOMPARE(extracted("kept", true), QStringList({"a.txt=alpha", "docs/c.txt=charlie"}));
    QCOMPARE(extracted("flat", false), QStringList({"a.txt=alpha", "c.txt=charlie"}));

    // A file whose name holds double quotes goes in through a list file.
    const QString added = temp_->filePath(QStringLiteral("new \"quoted\".txt"));
    QVERIFY(writeFile(added, "delta"));
    host_->prompts.answerOpenFile(added, QStringLiteral("開く"));
    ViewerCommands(*host_).mnuFileAdd_Click();
    QVERIFY2(host_->items.contains(QStringLiteral("new \"quoted\".txt")), qPrintable(host_->items.join(',')));

    // The library asks for the new name through the viewer's Prompter.
    host_->selected = {QStringLiteral("a.txt")};
    host_->prompts.answerInput(QStringLiteral("docs/renamed.txt"));
    ViewerCommands(*host_).mnuEditChangeName_Click();

    host_->selected = {QStringLiteral("b.txt"), QStringLiteral("new \"quoted\".txt")};
    ViewerCommands(*host_).mnuFileDelete_Click();
    QVERIFY(host_->selected.isEmpty());
    host_->selectAll();
    QCOMPARE(extracted("all", true), QStringList({"docs/c.txt=charlie", "docs/renamed.txt=alpha"}));
    QCOMPARE(host_->prompts.failures(), QStringList());
}

void tst_ViewerCommandsLibraries::programRunsInACleanFolder_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QStringList>("files");
    // Both extract the selected entries through one list file. The LZH program
    // holds the selected entries (through a list file), the CAB one all of them.
    QTest::newRow("LZH lh7, some") << "LZH" << "a -x1 -r2 -jm4" << QStringList({"b.txt=bravo", "docs/c.txt=charlie"});
    QTest::newRow("CAB LZX:21") << "CAB" << "-a -r -ml:21" << QStringList({"a.txt=alpha", "b.txt=bravo", "docs/c.txt=charlie"});
}

void tst_ViewerCommandsLibraries::programRunsInACleanFolder()
{
    QFETCH(QString, type);
    QFETCH(QString, options);
    makeArchive(type, options);
    host_->selected = {QStringLiteral("b.txt"), QStringLiteral("docs/c.txt")};
    QCOMPARE(extracted("picked", true), QStringList({"b.txt=bravo", "docs/c.txt=charlie"}));
    QVERIFY(QDir().mkpath(temp_->filePath(QStringLiteral("made"))));  // the picker gives existing folders
    host_->prompts.answerPickFolder(temp_->filePath(QStringLiteral("made")));
    if (type == QLatin1String("CAB"))
        host_->prompts.answerMessage(Prompter::Answer::Ok);
    ViewerCommands(*host_).mnuFileSFX_Click();
    QCOMPARE(QDir(listFolder_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A folder holding nothing but the program, run with an empty environment.
    const QString clean = temp_->filePath(QStringLiteral("clean"));
    QVERIFY(QDir().mkpath(clean));
    QVERIFY(QFile::rename(temp_->filePath(QStringLiteral("made/x.run")), clean + "/x.run"));
    QProcess run;
    run.setWorkingDirectory(clean);
    run.setProcessEnvironment(QProcessEnvironment());
    run.start(clean + "/x.run", {});
    QVERIFY(run.waitForFinished(30000));
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, run.readAllStandardError().constData());
    QVERIFY(QFile::remove(clean + "/x.run"));
    QFETCH(QStringList, files);
    QCOMPARE(tree(clean), files);
}

void tst_ViewerCommandsLibraries::hostileArchiveWritesNothingOutside()
{
    host_->path = temp_->filePath(QStringLiteral("hostile.lzh"));
    QVERIFY(writeFile(host_->path, storedEntry("good.txt", "fine") + storedEntry("../evil.txt", "gotcha")
                                       + QByteArray(1, '\0')));
    QVERIFY(host_->load());
    QCOMPARE(host_->items, QStringList({"good.txt", "../evil.txt"}));
    host_->prompts.answerPickFolder(temp_->filePath(QStringLiteral("box/dest")));
    host_->prompts.answerMessage(Prompter::Answer::Yes, FolderQuestion);
    host_->prompts.answerMessage(Prompter::Answer::Ok);  // the report of what was refused
    ViewerCommands(*host_).mnuFileMelt_Click();
    QCOMPARE(tree(temp_->filePath(QStringLiteral("box"))), QStringList{"dest/good.txt=fine"});
    const auto& told = host_->prompts.questions().last();
    QCOMPARE(told.icon, Prompter::Icon::Information);
    QVERIFY2(told.text.contains(QStringLiteral("../evil.txt")), qPrintable(told.text));
}

QTEST_MAIN(tst_ViewerCommandsLibraries)
#include "tst_ViewerCommandsLibraries.moc"
