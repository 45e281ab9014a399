#include "archive/ViewerCommands.h"
#include "archivers/common/ArchiverApi.h"
#include "support/FakeViewerHost.h"
#include "support/RecordingArchiver.h"

#include <QTemporaryDir>
#include <QtTest>

// Each row runs one viewer command on x.lzh (items docs/a.txt, b.txt, c.txt)
// with scripted answers: "folder:PATH" ("folder:" cancels), "file:PATH",
// "yes", "no", "ok", "input:TEXT". Expected command lines spell the archive %A
// and the list file %L; expected messages are "icon|text" (N, I, E).
class tst_ViewerCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void commands_data();
    void commands();
    void outcomesAreReported();

private:
    void script(const QStringList& answers);
    QStringList said() const;

    QTemporaryDir temp_;
    QString archive_;
    std::unique_ptr<RecordingArchiver> rec_;
    std::unique_ptr<FakeViewerHost> host_;
};

void tst_ViewerCommands::initTestCase()
{
    // List files go to a folder of this test alone, so "none left" means this test's.
    QVERIFY(temp_.isValid());
    QVERIFY(QDir(temp_.path()).mkdir(QStringLiteral("tmp")));
    qputenv("TMPDIR", QFile::encodeName(temp_.filePath(QStringLiteral("tmp"))));
    archive_ = temp_.filePath(QStringLiteral("x.lzh"));
    QFile f(archive_);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(5000, 'a')) == 5000);
}

void tst_ViewerCommands::init()
{
    rec_ = std::make_unique<RecordingArchiver>();
    host_ = std::make_unique<FakeViewerHost>(*rec_);
    host_->path = archive_;
    host_->items = {QStringLiteral("docs/a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    host_->selectAll();
    rec_->archives[archive_] = {{QStringLiteral("b.txt")}, {QStringLiteral("c.txt")}};
}

void tst_ViewerCommands::script(const QStringList& answers)
{
    for (const QString& a : answers) {
        const QString value = a.section(QLatin1Char(':'), 1);
        const std::optional<QString> given = value.isEmpty() ? std::nullopt : std::optional(value);
        if (a.startsWith(QLatin1String("folder:")))
            host_->prompts.answerPickFolder(given);
        else if (a.startsWith(QLatin1String("file:")))
            host_->prompts.answerOpenFile(given, QStringLiteral("開く"));
        else if (a.startsWith(QLatin1String("input:")))
            host_->prompts.answerInput(given);
        else
            host_->prompts.answerMessage(a == QLatin1String("yes")  ? Prompter::Answer::Yes
                                         : a == QLatin1String("no") ? Prompter::Answer::No
                                                                    : Prompter::Answer::Ok);
    }
}

QStringList tst_ViewerCommands::said() const
{
    QStringList shown;
    for (const auto& q : host_->prompts.questions())
        if (q.kind == ScriptedPrompter::Kind::Message && q.buttons == Prompter::Buttons::Ok)
            shown << QStringLiteral("NIE").mid(int(q.icon) == 0 ? 0 : int(q.icon) == 1 ? 1 : 2, 1)
                         + QLatin1Char('|') + q.text;
    return shown;
}

void tst_ViewerCommands::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("selected");  // empty: all
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("listings");
    const QStringList all;
    const QStringList some{"docs/a.txt", "c.txt"};
    const QStringList none{"-"};
    const QString x = QStringLiteral("x -a1 -m0 -x1 %A \"/out/\" ");
    const QByteArray someList("\"docs/a.txt\"\r\n\"c.txt\"\r\n");
    const QString unsupported = QStringLiteral("E|ｻﾎﾟｰﾄしていない形式です");
    QTest::newRow("extract LZH all, folders") << "melt" << "LZH" << all << QStringList{"folder:/out", "yes"} << QStringList{x + "\"*.*\""} << QByteArray() << QStringList() << 0;
    QTest::newRow("extract LZH some: one list, no folders") << "melt" << "LZH" << some << QStringList{"folder:/out/", "no"} << QStringList{"e -a1 -m0 %A \"/out/\" \"@%L\""} << someList << QStringList() << 0;
    QTest::newRow("extract LZH one") << "melt" << "LZH" << QStringList{"b.txt"} << QStringList{"folder:/out", "yes"} << QStringList{x + "\"b.txt\""} << QByteArray() << QStringList() << 0;
    QTest::newRow("extract CAB all to the root") << "melt" << "CAB" << all << QStringList{"folder:/", "yes"} << QStringList{"-x %A \"/\" \"*.*\""} << QByteArray() << QStringList() << 0;
    QTest::newRow("extract CAB some: one list") << "melt" << "CAB" << some << QStringList{"folder:/out", "no"} << QStringList{"-x -j %A \"/out/\" \"@%L\""} << someList << QStringList() << 0;
    QTest::newRow("extract ZIP some asks nothing") << "melt" << "ZIP" << some << QStringList{"folder:/out"} << QStringList{"-x %A \"/out/\" \"@%L\""} << someList << QStringList() << 0;
    QTest::newRow("extract cancelled") << "melt" << "LZH" << all << QStringList{"folder:"} << QStringList() << QByteArray() << QStringList() << 0;
    QTest::newRow("extract to a quoted folder") << "melt" << "LZH" << all << QStringList{"folder:/a\"b", "ok"} << QStringList() << QByteArray() << QStringList{"E|名前に \" を含むﾌｫﾙﾀﾞは指定できません。\n/a\"b"} << 0;
    QTest::newRow("extract nothing selected") << "melt" << "LZH" << none << QStringList{"folder:/out", "ok"} << QStringList() << QByteArray() << QStringList{"E|解凍対象が選択されていません"} << 0;
    QTest::newRow("extract unsupported") << "melt" << "RAR" << all << QStringList{"folder:/out", "ok"} << QStringList() << QByteArray() << QStringList{unsupported} << 0;
    QTest::newRow("extract a cut name") << "melt" << "LZH" << QStringList{"b.txt!"} << QStringList{"folder:/out", "ok"} << QStringList() << QByteArray() << QStringList{"E|名前が長すぎるため、この項目は個別に扱えません。\nb.txt"} << 0;
    QTest::newRow("delete some: one list") << "delete" << "LZH" << some << QStringList() << QStringList{"d -jyd- %A \"@%L\""} << someList << QStringList() << 1;
    QTest::newRow("delete all refused") << "delete" << "LZH" << all << QStringList{"ok"} << QStringList() << QByteArray() << QStringList{"E|全てのﾌｧｲﾙを削除対象にはできません"} << 1;
    QTest::newRow("delete none") << "delete" << "LZH" << none << QStringList{"ok"} << QStringList() << QByteArray() << QStringList{"E|削除対象が選択されていません"} << 0;
    QTest::newRow("delete ZIP") << "delete" << "ZIP" << some << QStringList{"ok"} << QStringList() << QByteArray() << QStringList{unsupported} << 0;
    QTest::newRow("delete a quoted name") << "delete" << "LZH" << QStringList{"say \"hi\".txt"} << QStringList() << QStringList{"d -jyd- %A \"@%L\""} << QByteArray("\"say \"hi\".txt\"\r\n") << QStringList() << 1;
    QTest::newRow("delete a name with @") << "delete" << "LZH" << QStringList{"@b.txt"} << QStringList() << QStringList{"d -jyd- %A \"@%L\""} << QByteArray("\"@b.txt\"\r\n") << QStringList() << 1;
    QTest::newRow("rename one") << "rename" << "LZH" << QStringList{"b.txt"} << QStringList() << QStringList{"n %A \"b.txt\""} << QByteArray() << QStringList() << 1;
    QTest::newRow("rename two") << "rename" << "LZH" << some << QStringList{"ok"} << QStringList() << QByteArray() << QStringList{"N|複数ﾌｧｲﾙの名前を変更する事はできません"} << 0;
    QTest::newRow("rename none") << "rename" << "LZH" << none << QStringList() << QStringList() << QByteArray() << QStringList() << 0;
    QTest::newRow("rename a quoted name") << "rename" << "LZH" << QStringList{"a\"b"} << QStringList{"ok"} << QStringList() << QByteArray() << QStringList{"E|名前に \" を含む項目の名前は変更できません。\na\"b"} << 0;
    QTest::newRow("add") << "add" << "LZH" << all << QStringList{"file:/home/aki/new file.txt"} << QStringList{"a %A \"/home/aki/new file.txt\""} << QByteArray() << QStringList() << 1;
    QTest::newRow("add cancelled") << "add" << "LZH" << all << QStringList{"file:"} << QStringList() << QByteArray() << QStringList() << 0;
    QTest::newRow("sfx LZH all") << "sfx" << "LZH" << all << QStringList{"folder:/out"} << QStringList{"s -a1 -m0 -x1 -gwj1 %A \"/out/\" \"*.*\""} << QByteArray() << QStringList() << 0;
    QTest::newRow("sfx LZH some") << "sfx" << "LZH" << some << QStringList{"folder:/out"} << QStringList{"s -a1 -m0 -x1 -gwj1 %A \"/out/\" \"@%L\""} << someList << QStringList() << 0;
    QTest::newRow("sfx CAB one selected") << "sfx" << "CAB" << QStringList{"b.txt"} << QStringList{"folder:/", "ok"} << QStringList{"-f %A \"/\" \"*.*\""} << QByteArray() << QStringList{"N|選択状態にかかわらず全てのﾌｧｲﾙが自己解凍の対象となります"} << 0;
    QTest::newRow("sfx CAB none") << "sfx" << "CAB" << none << QStringList{"folder:/out", "ok"} << QStringList() << QByteArray() << QStringList{"E|自己解凍ﾌｧｲﾙ化対象が選択されていません"} << 0;
    QTest::newRow("sfx ZIP") << "sfx" << "ZIP" << all << QStringList{"folder:/out", "ok"} << QStringList() << QByteArray() << QStringList{unsupported} << 0;
}

void tst_ViewerCommands::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, type);
    QFETCH(QStringList, selected);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, messages);
    QFETCH(int, listings);
    host_->type = type;
    if (!selected.isEmpty())
        host_->selected.clear();
    for (QString name : selected) {
        if (name == QLatin1String("-"))
            break;
        if (name.endsWith(QLatin1Char('!')))
            host_->cut.insert(name.chopped(1));
        name.remove(QLatin1Char('!'));
        if (!host_->items.contains(name))
            host_->items << name;
        host_->selected << name;
    }
    script(answers);
    ViewerCommands commands(*host_);
    const QHash<QString, void (ViewerCommands::*)()> handlers{
        {"melt", &ViewerCommands::mnuFileMelt_Click},     {"add", &ViewerCommands::mnuFileAdd_Click},
        {"delete", &ViewerCommands::mnuFileDelete_Click}, {"rename", &ViewerCommands::mnuEditChangeName_Click},
        {"sfx", &ViewerCommands::mnuFileSFX_Click}};
    (commands.*handlers.value(command))();

    QStringList expected;
    const QString listPath = rec_->calls.isEmpty() ? QString() : rec_->calls.last().listFiles.value(0).path;
    for (QString line : lines)
        expected << line.replace(QLatin1String("%A"), QLatin1Char('"') + archive_ + QLatin1Char('"'))
                        .replace(QLatin1String("%L"), listPath);
    QCOMPARE(rec_->commandLines(), expected);
    if (!list.isEmpty()) {
        QCOMPARE(rec_->calls.last().listFiles.value(0).bytes, list);
        QCOMPARE(rec_->calls.last().listFiles.value(0).mode, 0600);
        QVERIFY(QFileInfo(listPath).fileName().startsWith(QLatin1String("Kes")));
    }
    const QHash<QString, QString> captions{{"melt", "解凍"}, {"add", "圧縮"}, {"delete", "削除"},
                                           {"rename", "名前の変更"}, {"sfx", "自己解凍書庫の作成"}};
    const ArchiverKind kind = type == QLatin1String("CAB")   ? ArchiverKind::Cab
                              : type == QLatin1String("ZIP") ? ArchiverKind::UnZip
                                                             : ArchiverKind::Unlha;
    for (const auto& call : rec_->calls) {
        QCOMPARE(call.call.bufferSize, qint64(5000));
        QCOMPARE(call.call.caption, captions.value(command));
        QCOMPARE(int(call.call.kind), int(kind));
    }
    QCOMPARE(said(), messages);
    QCOMPARE(host_->listings, listings);
    if (listings)
        QVERIFY(host_->selected.isEmpty());
    QCOMPARE(host_->prompts.pendingAnswers(), 0);
    QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void tst_ViewerCommands::outcomesAreReported()
{
    ArchiverOutcome warning;
    warning.result = KA_WARN_SKIPPED;
    warning.report = QStringLiteral("../evil.txt: 書庫の外");
    ArchiverOutcome error;
    error.result = KA_ERR_WRITE;
    error.report = QStringLiteral("x.lzh: 書き込めません");
    ArchiverOutcome cancelled;
    cancelled.result = KA_ERR_CANCELLED;
    rec_->outcomes = {warning, error, cancelled};
    script({"folder:/out", "yes", "ok"});
    ViewerCommands(*host_).mnuFileMelt_Click();
    host_->selected = {QStringLiteral("b.txt")};
    rec_->archives.clear();  // and the listings afterwards fail
    script({"ok", "ok"});
    ViewerCommands(*host_).mnuFileDelete_Click();
    host_->selected = {QStringLiteral("b.txt")};
    script({"ok"});
    ViewerCommands(*host_).mnuEditChangeName_Click();
    // An archive whose path the command line cannot carry is never called.
    host_->path = QStringLiteral("/tmp/a\"b.lzh");
    host_->items = {QStringLiteral("b.txt")};
    host_->selectAll();
    script({"folder:/out", "ok"});
    ViewerCommands(*host_).mnuFileSFX_Click();
    QCOMPARE(rec_->calls.size(), 3);
    QCOMPARE(said(), QStringList({"I|" + warning.report, "E|削除できませんでした。\n" + error.report,
                                  "I|表示の更新ができませんでした", "I|表示の更新ができませんでした",
                                  "E|名前に \" を含む書庫は扱えません。\n" + host_->path}));
}

QTEST_MAIN(tst_ViewerCommands)
#include "tst_ViewerCommands.moc"
