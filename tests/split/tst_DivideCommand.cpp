#include "split/DivideCommand.h"
#include "split/frmDivideDialog.h"
#include "support/FakeCommandHost.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using TestFiles::read;

namespace {

constexpr qint64 S = 1457152; // the "1.44MB" entry

QByteArray pattern(qint64 size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char((i * 131 + i / 1021) & 0xff);
    return data;
}

const QString kNoNeed = QStringLiteral("切断する必要はありません");
const QString kFolder = QStringLiteral("フォルダを選択する事はできません");
const QString kSeveral = QStringLiteral("複数のファイルを選択する事はできません");

} // namespace

class tst_DivideCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void partSizesOfTheEntries();
    void doesNothingWhileTheListFlagIsOff();
    void doesNothingWithoutASelection();
    void refusesAFolderFirstInListOrder();
    void refusesSeveralFiles();
    void cancelInTheDialogWritesNothing();
    void centresTheDialogOnTheMainWindow();
    void dividesWholeMultiplesAndRemainders_data();
    void dividesWholeMultiplesAndRemainders();
    void saysThereIsNoNeedAfterTheSizeWasAsked_data();
    void saysThereIsNoNeedAfterTheSizeWasAsked();
    void anEmptyFileWritesNothingAndRefreshes();
    void namesFollowTheLastDot_data();
    void namesFollowTheLastDot();
    void theLargerSizesCutAtTheirOwnLengths();
    void replacesALongerPartWhole();
    void aFailurePartWaySaysWhyAndRemovesTheParts();
    void aReadOnlyFolderSaysWhy();
    void cancelDuringTheCopyRemovesTheParts();
    void aFileGoneBeforeTheDialogSaysSo();
    void aFileChangedWhileTheDialogWasOpenIsNotCut();

private:
    // Creates `name` with `data` (or, with `sparseLength`, a hole of that length) and lists the
    // folder again so the list holds it.
    void makeFile(const QString& name, const QByteArray& data, qint64 sparseLength = -1);
    // Runs Divide with `choice` pressed in the dialog (-1: Cancel).
    void run(int choice);
    QStringList files() const
    {
        return QDir(dir_->path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                             QDir::Name);
    }
    QString at(const QString& name) const { return folder_ + name; }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeCommandHost> host_;
    QString folder_;
    int dialogsShown_ = 0;
    int questionsBeforeDialog_ = -1;
    QRect dialogFrame_;
};

void tst_DivideCommand::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_DivideCommand::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    folder_ = dir_->path() + QLatin1Char('/');
    host_ = std::make_unique<FakeCommandHost>();
    host_->showOnlyVolume(folder_);
    host_->openFolder(folder_);
    QCOMPARE(host_->Path(), folder_);
    dialogsShown_ = 0;
    questionsBeforeDialog_ = -1;
}

void tst_DivideCommand::cleanup()
{
    if (host_)
        QCOMPARE(host_->prompts.pendingAnswers(), 0);
    host_.reset();
    dir_.reset();
}

void tst_DivideCommand::makeFile(const QString& name, const QByteArray& data, qint64 sparseLength)
{
    QFile f(at(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), qint64(data.size()));
    if (sparseLength >= 0)
        QVERIFY(f.resize(sparseLength));
    f.close();
    host_->refreshAll();
    host_->refreshes = 0;
}

void tst_DivideCommand::run(int choice)
{
    DivideCommand command(*host_);
    command.showDialog = [&](frmDivideDialog& dialog) {
        ++dialogsShown_;
        questionsBeforeDialog_ = int(host_->prompts.questions().size());
        dialogFrame_ = dialog.frameGeometry();
        if (choice < 0) {
            dialog.CancelButton_Click();
        } else {
            dialog.Combo1->setCurrentIndex(choice);
            dialog.OKButton_Click();
        }
    };
    command.run();
}

void tst_DivideCommand::partSizesOfTheEntries()
{
    QCOMPARE(DivideCommand::partSize(0), std::optional<qint64>(1457152));
    QCOMPARE(DivideCommand::partSize(1), std::optional<qint64>(99999744));
    QCOMPARE(DivideCommand::partSize(2), std::optional<qint64>(229999616));
    QVERIFY(!DivideCommand::partSize(-1));
    QVERIFY(!DivideCommand::partSize(3));
}

void tst_DivideCommand::doesNothingWhileTheListFlagIsOff()
{
    makeFile("a.bin", pattern(3 * S));
    QVERIFY(host_->selectNames({"a.bin"}));
    host_->clicked = false;
    host_->paths = QStringList{"/earlier"};
    run(0);
    QCOMPARE(dialogsShown_, 0);
    QCOMPARE(host_->refreshes, 0);
    QCOMPARE(host_->paths, QStringList{"/earlier"});
    QCOMPARE(files(), QStringList{"a.bin"});
}

void tst_DivideCommand::doesNothingWithoutASelection()
{
    makeFile("a.bin", pattern(3 * S));
    QVERIFY(host_->selectNames({}));
    host_->paths = QStringList{"/earlier"};
    run(0);
    QCOMPARE(dialogsShown_, 0);
    QCOMPARE(host_->refreshes, 0);
    QCOMPARE(host_->paths, QStringList{"/earlier"});
}

// Folders come first in the list: a folder with a file selected gives the folder message,
// not the one about several files, and PathList no longer holds the earlier paths.
void tst_DivideCommand::refusesAFolderFirstInListOrder()
{
    QVERIFY(QDir(dir_->path()).mkdir("zz"));
    makeFile("a.bin", pattern(3 * S));
    QVERIFY(host_->selectNames({"a.bin", "zz"}));
    host_->paths = QStringList{"/earlier"};
    host_->prompts.answerMessage(Prompter::Answer::Ok, kFolder);
    run(0);
    QCOMPARE(dialogsShown_, 0);
    const auto& q = host_->prompts.questions();
    QCOMPARE(q.size(), 1);
    QCOMPARE(q[0].buttons, Prompter::Buttons::Ok);
    QCOMPARE(q[0].icon, Prompter::Icon::None);
    QCOMPARE(q[0].title, QStringLiteral("Kestrel"));
    QVERIFY(host_->paths.isEmpty());
    QCOMPARE(files(), (QStringList{"a.bin", "zz"}));
}

void tst_DivideCommand::refusesSeveralFiles()
{
    makeFile("a.bin", pattern(3 * S));
    makeFile("b.bin", pattern(10));
    QVERIFY(host_->selectNames({"a.bin", "b.bin"}));
    host_->prompts.answerMessage(Prompter::Answer::Ok, kSeveral);
    run(0);
    QCOMPARE(dialogsShown_, 0);
    QCOMPARE(host_->prompts.questions().value(0).icon, Prompter::Icon::None);
    QCOMPARE(host_->paths, (QStringList{at("a.bin"), at("b.bin")}));
    QCOMPARE(host_->refreshes, 0);
    QCOMPARE(files(), (QStringList{"a.bin", "b.bin"}));
}

void tst_DivideCommand::cancelInTheDialogWritesNothing()
{
    makeFile("a.bin", pattern(3 * S));
    QVERIFY(host_->selectNames({"a.bin"}));
    run(-1);
    QCOMPARE(dialogsShown_, 1);
    QCOMPARE(host_->paths, QStringList{at("a.bin")});
    QCOMPARE(host_->progress.reports, 0);
    QCOMPARE(files(), QStringList{"a.bin"});
}

void tst_DivideCommand::centresTheDialogOnTheMainWindow()
{
    host_->window.setGeometry(40, 70, 900, 640);
    makeFile("a.bin", pattern(10));
    QVERIFY(host_->selectNames({"a.bin"}));
    run(-1);
    const QRect main = host_->window.frameGeometry();
    QCOMPARE(dialogFrame_.left(), main.left() + (main.width() - dialogFrame_.width()) / 2);
    QCOMPARE(dialogFrame_.top(), main.top() + (main.height() - dialogFrame_.height()) / 2);
}

void tst_DivideCommand::dividesWholeMultiplesAndRemainders_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<qint64>("lastSize");
    QTest::newRow("2·S") << 2 * S << QStringList{"a_bin_002.001", "a_bin_002.002"} << S;
    QTest::newRow("2·S+1") << 2 * S + 1 << QStringList{"a_bin_003.001", "a_bin_003.002", "a_bin_003.003"}
                           << qint64(1);
}

void tst_DivideCommand::dividesWholeMultiplesAndRemainders()
{
    QFETCH(qint64, length);
    QFETCH(QStringList, parts);
    QFETCH(qint64, lastSize);
    const QByteArray data = pattern(length);
    makeFile("a.bin", data);
    QVERIFY(host_->selectNames({"a.bin"}));
    run(0);

    QCOMPARE(host_->prompts.questions().size(), 0);
    QCOMPARE(host_->paths, QStringList{at("a.bin")});
    QCOMPARE(files(), QStringList{"a.bin"} + parts);
    QByteArray joined;
    for (const QString& part : parts) {
        const QByteArray bytes = read(at(part));
        QCOMPARE(qint64(bytes.size()), part == parts.last() ? lastSize : S);
        joined += bytes;
    }
    QCOMPARE(joined, data);
    QCOMPARE(read(at("a.bin")), data);
    QCOMPARE(host_->progress.captions, QStringList{"分割"});
    QCOMPARE(host_->progress.total, length);
    QCOMPARE(host_->progress.items.last(),
             QStringLiteral("%1 (%2/%2)").arg(parts.last()).arg(parts.size()));
    QCOMPARE(host_->refreshes, 1);
    // The refresh lists the new parts.
    for (const QString& part : parts)
        QVERIFY(host_->list.rowOfKey(at(part)) >= 0);
}

void tst_DivideCommand::saysThereIsNoNeedAfterTheSizeWasAsked_data()
{
    QTest::addColumn<qint64>("length");
    QTest::newRow("1 byte") << qint64(1);
    QTest::newRow("exactly S") << S;
}

void tst_DivideCommand::saysThereIsNoNeedAfterTheSizeWasAsked()
{
    QFETCH(qint64, length);
    makeFile("one.bin", pattern(length));
    QVERIFY(host_->selectNames({"one.bin"}));
    host_->prompts.answerMessage(Prompter::Answer::Ok, kNoNeed);
    run(0);
    QCOMPARE(dialogsShown_, 1);
    QCOMPARE(questionsBeforeDialog_, 0);
    QCOMPARE(host_->prompts.questions().size(), 1);
    QCOMPARE(host_->prompts.questions()[0].title, QStringLiteral("Kestrel"));
    QCOMPARE(host_->prompts.questions()[0].icon, Prompter::Icon::None);
    QCOMPARE(files(), QStringList{"one.bin"});
}

void tst_DivideCommand::anEmptyFileWritesNothingAndRefreshes()
{
    makeFile("empty.txt", {});
    QVERIFY(host_->selectNames({"empty.txt"}));
    run(0);
    QCOMPARE(dialogsShown_, 1);
    QCOMPARE(host_->prompts.questions().size(), 0);
    QCOMPARE(host_->refreshes, 1);
    QCOMPARE(host_->paths, QStringList{at("empty.txt")});
    QCOMPARE(files(), QStringList{"empty.txt"});
}

void tst_DivideCommand::namesFollowTheLastDot_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::newRow("several dots") << "a.tar.gz" << "a.tar_gz_002";
    QTest::newRow("trailing dot") << "file." << "file__002";
    QTest::newRow("leading dot") << ".profile" << "_profile_002";
}

void tst_DivideCommand::namesFollowTheLastDot()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    makeFile(name, "head", S + 1); // sparse: a hole after four bytes
    QVERIFY(host_->selectNames({name}));
    run(0);
    QCOMPARE(host_->prompts.questions().size(), 0);
    QCOMPARE(QFileInfo(at(base + ".001")).size(), S);
    QCOMPARE(QFileInfo(at(base + ".002")).size(), qint64(1));
    QCOMPARE(read(at(base + ".001")).left(5), QByteArray("head\0", 5));
}

// "100MB" and "230MB" on sparse files: the counts and sizes come from their own part sizes.
void tst_DivideCommand::theLargerSizesCutAtTheirOwnLengths()
{
    makeFile("big.img", "x", 200000000);
    QVERIFY(host_->selectNames({"big.img"}));
    run(1);
    QCOMPARE(files(), (QStringList{"big.img", "big_img_003.001", "big_img_003.002", "big_img_003.003"}));
    QCOMPARE(QFileInfo(at("big_img_003.003")).size(), qint64(200000000 - 2 * 99999744));

    makeFile("bigger.img", "y", 460000000);
    QVERIFY(host_->selectNames({"bigger.img"}));
    run(2);
    QCOMPARE(QFileInfo(at("bigger_img_003.002")).size(), qint64(229999616));
    QCOMPARE(QFileInfo(at("bigger_img_003.003")).size(), qint64(460000000 - 2 * 229999616));
}

void tst_DivideCommand::replacesALongerPartWhole()
{
    const QByteArray data = pattern(S + 5);
    makeFile("r.bin", data);
    {
        QFile old(at("r_bin_002.002"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(2 * S, 'Z'));
    }
    QVERIFY(host_->selectNames({"r.bin"}));
    run(0);
    QCOMPARE(read(at("r_bin_002.002")), data.mid(S));
}

// The last part's name is taken by a folder: the message says which part and why, the part
// already written goes, the folder and the source stay.
void tst_DivideCommand::aFailurePartWaySaysWhyAndRemovesTheParts()
{
    const QByteArray data = pattern(S + 5);
    makeFile("f.bin", data);
    QVERIFY(QDir(dir_->path()).mkpath("f_bin_002.002/keep"));
    QVERIFY(host_->selectNames({"f.bin"}));
    host_->prompts.answerMessage(Prompter::Answer::Ok);
    run(0);
    const auto& q = host_->prompts.questions();
    QCOMPARE(q.size(), 1);
    QVERIFY2(q[0].text.startsWith(QStringLiteral("分割できませんでした。\nf_bin_002.002 を作れませんでした。")),
             qPrintable(q[0].text));
    QCOMPARE(q[0].icon, Prompter::Icon::Exclamation);
    QCOMPARE(q[0].buttons, Prompter::Buttons::Ok);
    QCOMPARE(q[0].title, QStringLiteral("Kestrel"));
    QCOMPARE(files(), (QStringList{"f.bin", "f_bin_002.002"}));
    QVERIFY(QDir(at("f_bin_002.002/keep")).exists());
    QCOMPARE(read(at("f.bin")), data);
    QCOMPARE(host_->refreshes, 1);
}

void tst_DivideCommand::aReadOnlyFolderSaysWhy()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    makeFile("ro.bin", pattern(S + 1));
    QVERIFY(host_->selectNames({"ro.bin"}));
    QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::ExeOwner);
    host_->prompts.answerMessage(Prompter::Answer::Ok,
                                 QStringLiteral("分割できませんでした。\nro_bin_002.001 を作れませんでした。"
                                                "アクセスが拒否されました。"));
    run(0);
    QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(files(), QStringList{"ro.bin"});
}

void tst_DivideCommand::cancelDuringTheCopyRemovesTheParts()
{
    const QByteArray data = pattern(2 * S + 1);
    makeFile("c.bin", data);
    QVERIFY(host_->selectNames({"c.bin"}));
    host_->progress.cancelAtReport(3); // in the second part, the first in place
    run(0);
    QCOMPARE(host_->prompts.questions().size(), 0);
    QCOMPARE(host_->progress.finishes, 1);
    QCOMPARE(files(), QStringList{"c.bin"});
    QCOMPARE(read(at("c.bin")), data);
    QCOMPARE(host_->refreshes, 1);
}

void tst_DivideCommand::aFileGoneBeforeTheDialogSaysSo()
{
    makeFile("gone.bin", pattern(2 * S));
    QVERIFY(host_->selectNames({"gone.bin"}));
    QVERIFY(QFile::remove(at("gone.bin")));
    host_->prompts.answerMessage(Prompter::Answer::Ok,
                                 QStringLiteral("分割できませんでした。\ngone.bin を開けませんでした。"
                                                "ファイルまたはフォルダが見付かりません。"));
    run(0);
    QCOMPARE(dialogsShown_, 0);
    QVERIFY(files().isEmpty());
}

// The parts were counted from the length read before the dialog; a file that grew meanwhile
// would be cut short of its end, so it is not cut at all.
void tst_DivideCommand::aFileChangedWhileTheDialogWasOpenIsNotCut()
{
    makeFile("grows.bin", pattern(S + 10));
    QVERIFY(host_->selectNames({"grows.bin"}));
    host_->prompts.answerMessage(Prompter::Answer::Ok,
                                 QStringLiteral("分割できませんでした。\ngrows.bin の大きさが変わりました。"
                                                "もう一度分割して下さい。"));
    DivideCommand command(*host_);
    command.showDialog = [&](frmDivideDialog& dialog) {
        QFile f(at("grows.bin"));
        QVERIFY(f.open(QIODevice::Append));
        f.write(pattern(2 * S));
        dialog.OKButton_Click();
    };
    command.run();
    QCOMPARE(files(), QStringList{"grows.bin"});
}

QTEST_MAIN(tst_DivideCommand)
#include "tst_DivideCommand.moc"
