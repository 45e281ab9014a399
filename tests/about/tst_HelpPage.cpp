#include "about/HelpPage.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

QString readShippedPage()
{
    QFile file(QStringLiteral(KESTREL_HELP_SOURCE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Every anchor name the browser will know in `html`.
QSet<QString> anchorsOf(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QSet<QString> names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                names.insert(name);
    return names;
}

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class tst_HelpPage : public QObject {
    Q_OBJECT

private slots:
    void pageNameKeepsTheStem();
    void locateTakesTheFirstFolderThatHasThePage();
    void locateTriesAnAbsoluteHelpFileFirst();
    void theBuildPutsThePageWhereTheProgramLooks();
    void readsBothListsAsTheBrowserShowsThem();
    void pageWithoutListsHasNoEntries();
    void searchKeyIgnoresWidthCaseAndKana();

    void shippedPageLinksOnlyToPlacesItHas();
    void shippedPageIndexesEveryCommand();

private:
    QTemporaryDir temp_;
};

void tst_HelpPage::pageNameKeepsTheStem()
{
    QCOMPARE(HelpPage::pageName(QStringLiteral("Kestrel.hlp")), QStringLiteral("Kestrel.html"));
    QCOMPARE(HelpPage::pageName(QStringLiteral("/opt/k/Other.HLP")), QStringLiteral("Other.html"));
    QCOMPARE(HelpPage::pageName(QStringLiteral("my.help.hlp")), QStringLiteral("my.help.html"));
    QCOMPARE(HelpPage::pageName(QStringLiteral("plain")), QStringLiteral("plain.html"));
}

void tst_HelpPage::locateTakesTheFirstFolderThatHasThePage()
{
    const QString a = temp_.filePath(QStringLiteral("locate/a"));
    const QString b = temp_.filePath(QStringLiteral("locate/b"));
    const QString c = temp_.filePath(QStringLiteral("locate/c"));
    touch(b + QStringLiteral("/Kestrel.html"));
    touch(c + QStringLiteral("/Kestrel.html"));
    // A folder that only bears the page's name is not the page.
    QDir().mkpath(a + QStringLiteral("/Kestrel.html"));
    QCOMPARE(HelpPage::locate(QStringLiteral("Kestrel.hlp"), {a, b, c}), b + QStringLiteral("/Kestrel.html"));
    QCOMPARE(HelpPage::locate(QStringLiteral("Kestrel.hlp"), {a}), QString());
    QCOMPARE(HelpPage::locate(QStringLiteral("Other.hlp"), {a, b, c}), QString());
}

void tst_HelpPage::locateTriesAnAbsoluteHelpFileFirst()
{
    const QString own = temp_.filePath(QStringLiteral("own"));
    const QString shared = temp_.filePath(QStringLiteral("shared"));
    touch(own + QStringLiteral("/Guide.html"));
    touch(shared + QStringLiteral("/Guide.html"));
    QCOMPARE(HelpPage::locate(own + QStringLiteral("/Guide.hlp"), {shared}),
             own + QStringLiteral("/Guide.html"));
    // Not beside it: the folders are searched by the page's name.
    QCOMPARE(HelpPage::locate(temp_.filePath(QStringLiteral("nowhere/Guide.hlp")), {shared}),
             shared + QStringLiteral("/Guide.html"));
}

void tst_HelpPage::theBuildPutsThePageWhereTheProgramLooks()
{
    // The suites run from the folder of the programs, so they find what the program finds.
    const QString found = HelpPage::locate(QStringLiteral("Kestrel.hlp"), HelpPage::defaultFolders());
    QCOMPARE(found, QCoreApplication::applicationDirPath() + QStringLiteral("/help/Kestrel.html"));
    QFile copy(found);
    QFile source(QStringLiteral(KESTREL_HELP_SOURCE));
    QVERIFY(copy.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll() == source.readAll());
}

void tst_HelpPage::readsBothListsAsTheBrowserShowsThem()
{
    const QString html = QStringLiteral(
        "<p><a href=\"#stray\">not listed</a></p>"
        "<UL class=\"contents\">\n"
        "  <li><a href=\"#one\">First\n   part</a></li>\n"
        "  <li><a href=\"#two\"><b>Second</b> &amp; more</a></li>\n"
        "  <li><a href=\"#empty\"></a></li>\n"
        "</ul>"
        "<p><a href=\"#between\">between</a></p>"
        "<ul class=\"index\"><li><a href=\"#k1\">ｺﾋﾟｰ</a></li><li><a href=\"#k2\">&lt;tag&gt;</a></li></ul>"
        "<ul><li><a href=\"#after\">after</a></li></ul>");
    const QList<HelpPage::Entry> contents = HelpPage::contents(html);
    QCOMPARE(contents, (QList<HelpPage::Entry>{{QStringLiteral("First part"), QStringLiteral("one")},
                                               {QStringLiteral("Second & more"), QStringLiteral("two")}}));
    const QList<HelpPage::Entry> keywords = HelpPage::keywords(html);
    QCOMPARE(keywords, (QList<HelpPage::Entry>{{QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("k1")},
                                               {QStringLiteral("<tag>"), QStringLiteral("k2")}}));
}

void tst_HelpPage::pageWithoutListsHasNoEntries()
{
    QVERIFY(HelpPage::contents(QStringLiteral("<p>nothing</p>")).isEmpty());
    QVERIFY(HelpPage::keywords(QString()).isEmpty());
    // A list that never closes still gives what it has.
    QCOMPARE(HelpPage::keywords(QStringLiteral("<ul class=\"index\"><li><a href=\"#x\">X</a>")).size(), 1);
}

void tst_HelpPage::searchKeyIgnoresWidthCaseAndKana()
{
    const QString copy = HelpPage::searchKey(QStringLiteral("ｺﾋﾟｰ"));
    QCOMPARE(HelpPage::searchKey(QStringLiteral("コピー")), copy);
    QCOMPARE(HelpPage::searchKey(QStringLiteral("こぴー")), copy);
    QCOMPARE(HelpPage::searchKey(QStringLiteral("ＬＺＨ")), HelpPage::searchKey(QStringLiteral("lzh")));
    QCOMPARE(HelpPage::searchKey(QStringLiteral("ﾊﾞｰｼﾞｮﾝ")), HelpPage::searchKey(QStringLiteral("ばーじょん")));
    QVERIFY(HelpPage::searchKey(QStringLiteral("ごみ箱")) != HelpPage::searchKey(QStringLiteral("こみ箱")));
}

void tst_HelpPage::shippedPageLinksOnlyToPlacesItHas()
{
    const QString html = readShippedPage();
    QVERIFY2(!html.isEmpty(), KESTREL_HELP_SOURCE);
    const QSet<QString> anchors = anchorsOf(html);
    const QList<HelpPage::Entry> contents = HelpPage::contents(html);
    const QList<HelpPage::Entry> keywords = HelpPage::keywords(html);
    QVERIFY(contents.size() >= 20);
    QVERIFY(keywords.size() >= contents.size());
    for (const HelpPage::Entry& entry : contents + keywords)
        QVERIFY2(anchors.contains(entry.anchor), qPrintable(entry.text + QStringLiteral(" -> #") + entry.anchor));

    // Links in the text lead somewhere too.
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString anchor = it.next().captured(1);
        QVERIFY2(anchors.contains(anchor), qPrintable(anchor));
    }
}

void tst_HelpPage::shippedPageIndexesEveryCommand()
{
    const QString html = readShippedPage();
    QSet<QString> words;
    for (const HelpPage::Entry& entry : HelpPage::keywords(html))
        words.insert(HelpPage::searchKey(entry.text));
    // The main window's menu items and toolbar buttons, as the user reads them.
    const QStringList commands{
        QStringLiteral("分割"), QStringLiteral("結合"), QStringLiteral("圧縮"), QStringLiteral("解凍"),
        QStringLiteral("ごみ箱に移動"), QStringLiteral("ごみ箱を空にする"), QStringLiteral("閉じる"),
        QStringLiteral("切り取り"), QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("貼り付け"),
        QStringLiteral("すべて選択"), QStringLiteral("ﾂｰﾙ ﾊﾞｰ"), QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ"),
        QStringLiteral("大きいｱｲｺﾝ"), QStringLiteral("小さいｱｲｺﾝ"), QStringLiteral("一覧"),
        QStringLiteral("詳細"), QStringLiteral("ｱｲｺﾝの整列"), QStringLiteral("最新の情報に更新"),
        QStringLiteral("目次"), QStringLiteral("ﾄﾋﾟｯｸの検索"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"),
        QStringLiteral("1 つ上のﾌｫﾙﾀﾞへ"), QStringLiteral("フォルダ作成"), QStringLiteral("終了"),
        QStringLiteral("名前の変更"), QStringLiteral("ｼｽﾃﾑ情報")};
    for (const QString& command : commands)
        QVERIFY2(words.contains(HelpPage::searchKey(command)), qPrintable(command));
}

QTEST_MAIN(tst_HelpPage)
#include "tst_HelpPage.moc"
