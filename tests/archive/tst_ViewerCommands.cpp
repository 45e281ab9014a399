#include "archive/ViewerCommands.h"
#include "archivers/common/ArchiverApi.h"
#include "support/FakeViewerHost.h"
#include "support/RecordingArchiver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Answer = Prompter::Answer;
using Icon = Prompter::Icon;

namespace {

const QString FolderQuestion = QStringLiteral("圧縮ﾌｧｲﾙ内のﾌｫﾙﾀﾞを有効にしますか?");

// The message boxes a command showed, as "icon|text".
QStringList messages(const ScriptedPrompter& prompts)
{
    QStringList shown;
    for (const auto& q : prompts.questions())
        if (q.kind == ScriptedPrompter::Kind::Message && q.buttons == Prompter::Buttons::Ok)
            shown << QString::number(int(q.icon)) + QLatin1Char('|') + q.text;
    return shown;
}

QString shown(Icon icon, const QString& text)
{
    return QString::number(int(icon)) + QLatin1Char('|') + text;
}

} // namespace

class tst_ViewerCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void extractAllMakesOneCall_data();
    void extractAllMakesOneCall();
    void extractSomeLzhAndZipCallOncePerEntry();
    void extractSomeCabNamesThemInOneListFile();
    void extractRefusals();
    void deleteSomeAllAndNone();
    void renameOneTwoAndNone();
    void addAsksForAFileInTheArchivesFolder();
    void sfxAllAndSome();
    void sfxCabNoteAndRefusals();
    void failureStopsTheCommandAndWarningGoesOn();
    void namesTheCommandLineCannotCarry();

private:
    // The next message box is expected to say `text`; it is answered with OK.
    void expectSaid(const QString& text) { host_->prompts.answerMessage(Answer::Ok, text); }

    QTemporaryDir temp_;
    std::unique_ptr<RecordingArchiver> rec_;
    std::unique_ptr<FakeViewerHost> host_;
    QString archive_;
};

void tst_ViewerCommands::initTestCase()
{
    // The list files go to a folder of this test alone, so "none left" means this test's.
    QVERIFY(temp_.isValid());
    QDir(temp_.path()).mkdir(QStringLiteral("tmp"));
    qputenv("TMPDIR", QFile::encodeName(temp_.filePath(QStringLiteral("tmp"))));
    QCOMPARE(QDir::tempPath(), temp_.filePath(QStringLiteral("tmp")));
}

void tst_ViewerCommands::init()
{
    archive_ = temp_.filePath(QStringLiteral("x.lzh"));
    QFile f(archive_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, 'a'));
    f.close();
    rec_ = std::make_unique<RecordingArchiver>();
    host_ = std::make_unique<FakeViewerHost>(*rec_);
    host_->path = archive_;
    host_->items = {QStringLiteral("docs/a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    host_->selectAll();
    rec_->archives[archive_] = {{QStringLiteral("b.txt")}, {QStringLiteral("c.txt")}};
}

void tst_ViewerCommands::cleanup()
{
    QVERIFY2(host_->prompts.pendingAnswers() == 0, "a scripted answer was not asked for");
    QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void tst_ViewerCommands::extractAllMakesOneCall_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("folders");  // -1: no question
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    const QString a = QStringLiteral("\"%1\"").arg(temp_.filePath(QStringLiteral("x.lzh")));
    QTest::newRow("LZH folders") << "LZH" << 1 << "/out" << "x -a1 -m0 -x1 " + a + " \"/out/\" \"*.*\"" << int(ArchiverKind::Unlha);
    QTest::newRow("LZH flat") << "LZH" << 0 << "/out/" << "e -a1 -m0 " + a + " \"/out/\" \"*.*\"" << int(ArchiverKind::Unlha);
    QTest::newRow("CAB folders, root") << "CAB" << 1 << "/" << "-x " + a + " \"/\" \"*.*\"" << int(ArchiverKind::Cab);
    QTest::newRow("CAB flat") << "CAB" << 0 << "/out" << "-x -j " + a + " \"/out/\" \"*.*\"" << int(ArchiverKind::Cab);
    QTest::newRow("ZIP") << "ZIP" << -1 << "/out" << "-x " + a + " \"/out/\" \"*.*\"" << int(ArchiverKind::UnZip);
}

void tst_ViewerCommands::extractAllMakesOneCall()
{
    QFETCH(QString, type);
    QFETCH(int, folders);
    host_->type = type;
    QFETCH(QString, picked);
    host_->prompts.answerPickFolder(picked, QStringLiteral("解凍先フォルダを指定して下さい"));
    if (folders >= 0)
        host_->prompts.answerMessage(folders ? Answer::Yes : Answer::No, FolderQuestion);
    ViewerCommands(*host_).mnuFileMelt_Click();
    QFETCH(QString, line);
    QCOMPARE(rec_->commandLines(), QStringList{line});
    QFETCH(int, kind);
    const ArchiverCall& call = rec_->calls.first().call;
    QCOMPARE(int(call.kind), kind);
    QCOMPARE(call.bufferSize, qint64(5000));
    QCOMPARE(call.caption, QStringLiteral("解凍"));
    QCOMPARE(host_->listings, 0);
    QCOMPARE(messages(host_->prompts), QStringList());
}

void tst_ViewerCommands::extractSomeLzhAndZipCallOncePerEntry()
{
    host_->selected = {QStringLiteral("docs/a.txt"), QStringLiteral("c.txt")};
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    host_->prompts.answerMessage(Answer::Yes, FolderQuestion);
    ViewerCommands(*host_).mnuFileMelt_Click();
    const QString start = QStringLiteral("x -a1 -m0 -x1 \"%1\" \"/out/\" ").arg(archive_);
    QCOMPARE(rec_->commandLines(), QStringList({start + "\"docs/a.txt\"", start + "\"c.txt\""}));

    rec_->calls.clear();
    host_->type = QStringLiteral("ZIP");
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    ViewerCommands(*host_).mnuFileMelt_Click();
    const QString zip = QStringLiteral("-x \"%1\" \"/out/\" ").arg(archive_);
    QCOMPARE(rec_->commandLines(), QStringList({zip + "\"docs/a.txt\"", zip + "\"c.txt\""}));
}

void tst_ViewerCommands::extractSomeCabNamesThemInOneListFile()
{
    host_->type = QStringLiteral("CAB");
    host_->selected = {QStringLiteral("docs/a.txt"), QStringLiteral("c.txt")};
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    host_->prompts.answerMessage(Answer::No, FolderQuestion);
    ViewerCommands(*host_).mnuFileMelt_Click();
    QCOMPARE(rec_->calls.size(), 1);
    const auto& call = rec_->calls.first();
    QCOMPARE(call.listFiles.size(), 1);
    const auto& list = call.listFiles.first();
    QVERIFY(QFileInfo(list.path).fileName().startsWith(QStringLiteral("Kes")));
    QCOMPARE(call.call.commandLine, QStringLiteral("-x -j \"%1\" \"/out/\" \"@%2\"").arg(archive_, list.path));
    QCOMPARE(list.bytes, QByteArray("\"docs/a.txt\"\r\n\"c.txt\"\r\n"));
    QCOMPARE(list.mode, 0600);
}

void tst_ViewerCommands::extractRefusals()
{
    // Cancelled picker: nothing at all.
    host_->prompts.answerPickFolder(std::nullopt);
    ViewerCommands(*host_).mnuFileMelt_Click();
    // Nothing selected: the folder is still asked for first.
    host_->selected.clear();
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    expectSaid(QStringLiteral("解凍対象が選択されていません"));
    ViewerCommands(*host_).mnuFileMelt_Click();
    // A type no library reads.
    host_->selectAll();
    host_->type = QStringLiteral("RAR");
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    expectSaid(QStringLiteral("ｻﾎﾟｰﾄしていない形式です"));
    ViewerCommands(*host_).mnuFileMelt_Click();
    // A cut name among some selected: refused before the question and any call.
    host_->type = QStringLiteral("LZH");
    host_->selected = {QStringLiteral("b.txt")};
    host_->cut = {QStringLiteral("b.txt")};
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    expectSaid(QStringLiteral("名前が長すぎるため、この項目は個別に扱えません。\nb.txt"));
    ViewerCommands(*host_).mnuFileMelt_Click();
    QCOMPARE(rec_->calls.size(), 0);
    QCOMPARE(messages(host_->prompts),
             QStringList({shown(Icon::Exclamation, QStringLiteral("解凍対象が選択されていません")),
                          shown(Icon::Exclamation, QStringLiteral("ｻﾎﾟｰﾄしていない形式です")),
                          shown(Icon::Exclamation, QStringLiteral("名前が長すぎるため、この項目は個別に扱えません。\nb.txt"))}));
}

void tst_ViewerCommands::deleteSomeAllAndNone()
{
    host_->selected = {QStringLiteral("docs/a.txt"), QStringLiteral("c.txt")};
    ViewerCommands(*host_).mnuFileDelete_Click();
    const QString start = QStringLiteral("d -jyd- \"%1\" ").arg(archive_);
    QCOMPARE(rec_->commandLines(), QStringList({start + "\"docs/a.txt\"", start + "\"c.txt\""}));
    QCOMPARE(rec_->calls.first().call.caption, QStringLiteral("削除"));
    QCOMPARE(host_->listings, 1);
    QCOMPARE(host_->items, QStringList({QStringLiteral("b.txt"), QStringLiteral("c.txt")}));

    // All selected: refused, but listed again with nothing selected.
    rec_->calls.clear();
    host_->selectAll();
    expectSaid(QStringLiteral("全てのﾌｧｲﾙを削除対象にはできません"));
    ViewerCommands(*host_).mnuFileDelete_Click();
    QCOMPARE(rec_->calls.size(), 0);
    QCOMPARE(host_->listings, 2);
    QVERIFY(host_->selected.isEmpty());

    // None selected, then a type other than LZH: neither lists again.
    expectSaid(QStringLiteral("削除対象が選択されていません"));
    ViewerCommands(*host_).mnuFileDelete_Click();
    host_->type = QStringLiteral("ZIP");
    host_->selected = {QStringLiteral("b.txt")};
    expectSaid(QStringLiteral("ｻﾎﾟｰﾄしていない形式です"));
    ViewerCommands(*host_).mnuFileDelete_Click();
    QCOMPARE(host_->listings, 2);
    QCOMPARE(messages(host_->prompts),
             QStringList({shown(Icon::Exclamation, QStringLiteral("全てのﾌｧｲﾙを削除対象にはできません")),
                          shown(Icon::Exclamation, QStringLiteral("削除対象が選択されていません")),
                          shown(Icon::Exclamation, QStringLiteral("ｻﾎﾟｰﾄしていない形式です"))}));
}

void tst_ViewerCommands::renameOneTwoAndNone()
{
    host_->selected = {QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    expectSaid(QStringLiteral("複数ﾌｧｲﾙの名前を変更する事はできません"));
    ViewerCommands(*host_).mnuEditChangeName_Click();
    host_->selected.clear();
    ViewerCommands(*host_).mnuEditChangeName_Click();
    QCOMPARE(rec_->calls.size(), 0);
    QCOMPARE(host_->listings, 0);
    QCOMPARE(messages(host_->prompts),
             QStringList{shown(Icon::None, QStringLiteral("複数ﾌｧｲﾙの名前を変更する事はできません"))});

    host_->selected = {QStringLiteral("docs/a.txt")};
    ViewerCommands(*host_).mnuEditChangeName_Click();
    QCOMPARE(rec_->commandLines(), QStringList{QStringLiteral("n \"%1\" \"docs/a.txt\"").arg(archive_)});
    QCOMPARE(rec_->calls.first().call.caption, QStringLiteral("名前の変更"));
    QCOMPARE(host_->listings, 1);
}

void tst_ViewerCommands::addAsksForAFileInTheArchivesFolder()
{
    host_->prompts.answerOpenFile(std::nullopt, QStringLiteral("開く"));
    ViewerCommands(*host_).mnuFileAdd_Click();
    QCOMPARE(rec_->calls.size(), 0);
    QCOMPARE(host_->listings, 0);
    const auto& asked = host_->prompts.questions().first();
    QCOMPARE(asked.directory, temp_.path());
    QCOMPARE(asked.filter, QStringLiteral("すべてのﾌｧｲﾙ (*)"));

    // Added; the listing afterwards fails and says so.
    rec_->archives.clear();
    host_->prompts.answerOpenFile(QStringLiteral("/home/aki/new file.txt"));
    expectSaid(QStringLiteral("表示の更新ができませんでした"));
    ViewerCommands(*host_).mnuFileAdd_Click();
    QCOMPARE(rec_->commandLines(), QStringList{QStringLiteral("a \"%1\" \"/home/aki/new file.txt\"").arg(archive_)});
    QCOMPARE(rec_->calls.first().call.caption, QStringLiteral("圧縮"));
    QCOMPARE(host_->listings, 1);
    QCOMPARE(messages(host_->prompts),
             QStringList{shown(Icon::Information, QStringLiteral("表示の更新ができませんでした"))});
}

void tst_ViewerCommands::sfxAllAndSome()
{
    const QString start = QStringLiteral("s -a1 -m0 -x1 -gwj1 \"%1\" \"/out/\" ").arg(archive_);
    host_->prompts.answerPickFolder(QStringLiteral("/out"), QStringLiteral("自己解凍ﾌｧｲﾙ作成先ﾌｫﾙﾀﾞを指定して下さい"));
    ViewerCommands(*host_).mnuFileSFX_Click();
    QCOMPARE(rec_->commandLines(), QStringList{start + "\"*.*\""});
    QVERIFY(rec_->calls.first().listFiles.isEmpty());
    QCOMPARE(rec_->calls.first().call.caption, QStringLiteral("自己解凍書庫の作成"));

    rec_->calls.clear();
    host_->selected = {QStringLiteral("c.txt"), QStringLiteral("docs/a.txt")};
    host_->prompts.answerPickFolder(QStringLiteral("/out/"));
    ViewerCommands(*host_).mnuFileSFX_Click();
    QCOMPARE(rec_->calls.size(), 1);
    const auto& list = rec_->calls.first().listFiles.value(0);
    QCOMPARE(rec_->calls.first().call.commandLine, start + "\"@" + list.path + "\"");
    QCOMPARE(list.bytes, QByteArray("\"c.txt\"\r\n\"docs/a.txt\"\r\n"));
    QCOMPARE(list.mode, 0600);
    QCOMPARE(host_->listings, 0);
}

void tst_ViewerCommands::sfxCabNoteAndRefusals()
{
    host_->type = QStringLiteral("CAB");
    host_->selected = {QStringLiteral("b.txt")};
    host_->prompts.answerPickFolder(QStringLiteral("/"));
    expectSaid(QStringLiteral("選択状態にかかわらず全てのﾌｧｲﾙが自己解凍の対象となります"));
    ViewerCommands(*host_).mnuFileSFX_Click();
    QCOMPARE(rec_->commandLines(), QStringList{QStringLiteral("-f \"%1\" \"/\" \"*.*\"").arg(archive_)});
    QCOMPARE(int(rec_->calls.first().call.kind), int(ArchiverKind::Cab));

    host_->selected.clear();
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    expectSaid(QStringLiteral("自己解凍ﾌｧｲﾙ化対象が選択されていません"));
    ViewerCommands(*host_).mnuFileSFX_Click();
    host_->selectAll();
    host_->type = QStringLiteral("ZIP");
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    expectSaid(QStringLiteral("ｻﾎﾟｰﾄしていない形式です"));
    ViewerCommands(*host_).mnuFileSFX_Click();
    host_->prompts.answerPickFolder(std::nullopt);
    ViewerCommands(*host_).mnuFileSFX_Click();
    QCOMPARE(rec_->calls.size(), 1);
    QCOMPARE(messages(host_->prompts),
             QStringList({shown(Icon::None, QStringLiteral("選択状態にかかわらず全てのﾌｧｲﾙが自己解凍の対象となります")),
                          shown(Icon::Exclamation, QStringLiteral("自己解凍ﾌｧｲﾙ化対象が選択されていません")),
                          shown(Icon::Exclamation, QStringLiteral("ｻﾎﾟｰﾄしていない形式です"))}));
}

void tst_ViewerCommands::failureStopsTheCommandAndWarningGoesOn()
{
    // A warning (entries skipped) is shown and the next entry still goes.
    ArchiverOutcome warning;
    warning.result = KA_WARN_SKIPPED;
    warning.report = QStringLiteral("../evil.txt: 書庫の外を指す名前は展開しません");
    ArchiverOutcome error;
    error.result = KA_ERR_WRITE;
    error.report = QStringLiteral("/out/b.txt: 書き込めません");
    rec_->outcomes = {warning, error};
    host_->selected = {QStringLiteral("docs/a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    host_->items << QStringLiteral("d.txt");
    host_->prompts.answerPickFolder(QStringLiteral("/out"));
    host_->prompts.answerMessage(Answer::Yes, FolderQuestion);
    expectSaid(warning.report);
    expectSaid(QStringLiteral("解凍できませんでした。\n") + error.report);
    ViewerCommands(*host_).mnuFileMelt_Click();
    QCOMPARE(rec_->calls.size(), 2);

    // Delete stops the same way and still lists again.
    rec_->calls.clear();
    rec_->outcomes = {error};
    expectSaid(QStringLiteral("削除できませんでした。\n") + error.report);
    ViewerCommands(*host_).mnuFileDelete_Click();
    QCOMPARE(rec_->calls.size(), 1);
    QCOMPARE(host_->listings, 1);
    QCOMPARE(messages(host_->prompts),
             QStringList({shown(Icon::Information, warning.report),
                          shown(Icon::Exclamation, QStringLiteral("解凍できませんでした。\n") + error.report),
                          shown(Icon::Exclamation, QStringLiteral("削除できませんでした。\n") + error.report)}));
}

void tst_ViewerCommands::namesTheCommandLineCannotCarry()
{
    // A double quote, or an "@" in front, goes through a list file of that one name.
    const QString quoted = QStringLiteral("say \"hi\".txt");
    const QString at = QStringLiteral("@home.txt");
    host_->items = {quoted, at, QStringLiteral("plain.txt")};
    host_->selected = {quoted, at};
    ViewerCommands(*host_).mnuFileDelete_Click();
    QCOMPARE(rec_->calls.size(), 2);
    QCOMPARE(rec_->calls[0].listFiles.value(0).bytes, "\"" + quoted.toUtf8() + "\"\r\n");
    QCOMPARE(rec_->calls[1].listFiles.value(0).bytes, "\"" + at.toUtf8() + "\"\r\n");
    QCOMPARE(rec_->calls[1].call.commandLine,
             QStringLiteral("d -jyd- \"%1\" \"@%2\"").arg(archive_, rec_->calls[1].listFiles[0].path));

    // Rename cannot take a list file: refused with the name.
    rec_->calls.clear();
    host_->selected = {quoted};
    expectSaid(QStringLiteral("名前に \" を含む項目の名前は変更できません。\n") + quoted);
    ViewerCommands(*host_).mnuEditChangeName_Click();
    QCOMPARE(rec_->calls.size(), 0);
    QCOMPARE(messages(host_->prompts).last(),
             shown(Icon::Exclamation, QStringLiteral("名前に \" を含む項目の名前は変更できません。\n") + quoted));
}

QTEST_MAIN(tst_ViewerCommands)
#include "tst_ViewerCommands.moc"
