#include "archive/CabCommandBuilder.h"
#include "archive/CompressCommand.h"
#include "archive/frmCompressDialog.h"
#include "archivers/common/ArchiverApi.h"
#include "platform/Twips.h"
#include "support/FakeCommandHost.h"
#include "support/RecordingArchiver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kSaveTitle = QStringLiteral("名前を付けて保存");
const QString kOverwrite = QStringLiteral("上書きしますか?");
const QString kAdd = QStringLiteral("追加しますか?");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Notes, during each call, whether the archive was in place, and makes the
// "new archive" the way a library would.
class ArchiveWritingArchiver : public RecordingArchiver {
public:
    QString archive;
    QList<bool> archiveThere;
    QStringList hiddenInside;  // hidden files of `watched` during the call
    QString watched;
    ArchiverOutcome run(const ArchiverCall& call, ArchiveUi& ui) override
    {
        archiveThere << QFileInfo::exists(archive);
        if (!watched.isEmpty())
            hiddenInside << QDir(watched).entryList({QStringLiteral(".*")}, QDir::Hidden | QDir::Files);
        const ArchiverOutcome outcome = RecordingArchiver::run(call, ui);
        if (outcome.result == KA_OK)
            writeFile(archive, "new");
        return outcome;
    }
};

} // namespace

class tst_CompressCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void lhaLinesForTheDirectoryModesAndTheRoot();
    void severalTargetsAndAQuotedNameGoThroughAListFile();
    void aDoubleQuoteInTheBaseOrTheArchiveIsRefused();
    void cabLinesForBothMethodsAndAVolumeSize();
    void aVolumeSizeOfLettersIsRefusedAndTheDialogStays();
    void replacingKeepsTheOldArchiveUntilTheNewOneIsMade();
    void addingAndDecliningBothQuestions();
    void aSetAsksBeforeReplacingItsFirstCabinet();
    void theEnablingRulesAndTheLayout();

private:
    // Runs Compress with `work` done to the dialog before OK. Returns 1 when
    // the dialog closed, 0 when it stayed open, -1 when none was shown, -2 when
    // the window was not refreshed exactly once after it.
    int compress(Archiver& archiver, const std::function<void(frmCompressDialog&)>& work = {});
    void save(const QString& archive) { host_->prompts.answerSaveFile(archive, kSaveTitle); }
    QStringList lines(const QString& archive, const std::function<void(frmCompressDialog&)>& work = {});
    QStringList kesFiles() const { return QDir(tmp_.path()).entryList({QStringLiteral("Kes*")}, QDir::Files); }

    QTemporaryDir tmp_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeCommandHost> host_;
    QString data_;
};

void tst_CompressCommand::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // A temporary folder of this suite alone, so that "Kes" files of other runs do not count.
    qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
    QCOMPARE(QDir::tempPath(), tmp_.path());
}

void tst_CompressCommand::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    data_ = dir_->path() + QStringLiteral("/data/");
    QVERIFY(QDir().mkpath(data_ + QStringLiteral("sub")));
    for (const char* name : {"a.txt", "b.txt", "sub/x.txt", "say \"hi\".txt"})
        writeFile(data_ + QString::fromUtf8(name), "text");
    host_ = std::make_unique<FakeCommandHost>();
    host_->showOnlyVolume(dir_->path() + u'/');
    host_->openFolder(data_);
    QCOMPARE(host_->Path(), data_);
}

void tst_CompressCommand::cleanup()
{
    QCOMPARE(host_->prompts.pendingAnswers(), 0);
    QCOMPARE(kesFiles(), QStringList());
    host_.reset();
}

int tst_CompressCommand::compress(Archiver& archiver, const std::function<void(frmCompressDialog&)>& work)
{
    int closed = -1;
    const int refreshes = host_->refreshes;
    CompressCommand command(*host_, archiver);
    command.showDialog = [&](frmCompressDialog& dialog) {
        if (work)
            work(dialog);
        dialog.OKButton_Click();
        closed = dialog.result() == QDialog::Accepted ? 1 : 0;
    };
    command.run();
    return host_->refreshes == refreshes + 1 ? closed : -2;
}

QStringList tst_CompressCommand::lines(const QString& archive, const std::function<void(frmCompressDialog&)>& work)
{
    RecordingArchiver archiver;
    save(archive);
    if (compress(archiver, work) != 1)
        return {QStringLiteral("<dialog still open>")};
    for (const RecordingArchiver::Call& c : archiver.calls)
        if (c.call.bufferSize != 32000 || c.call.caption != QStringLiteral("圧縮"))
            return {QStringLiteral("<wrong buffer or caption>")};
    return archiver.commandLines();
}

void tst_CompressCommand::lhaLinesForTheDirectoryModesAndTheRoot()
{
    const QString lzh = data_ + QStringLiteral("x.lzh");
    const QString head = QStringLiteral("a -x1 -r2 -a2 -jm2 \"%1\" ").arg(lzh);
    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    QCOMPARE(lines(lzh), QStringList{head + QStringLiteral("\"%1\" \"a.txt\"").arg(data_)});

    QVERIFY(host_->selectNames({QStringLiteral("sub")}));
    QCOMPARE(lines(lzh), QStringList{head + QStringLiteral("\"%1\" \"sub/*.*\"").arg(data_)});
    QVERIFY(host_->selectNames({QStringLiteral("sub")}));
    const auto absolute = [](frmCompressDialog& d) { d.cmbDirMethod->setCurrentIndex(1); };
    QCOMPARE(lines(lzh, absolute), QStringList{head + QStringLiteral("\"%1sub/*.*\"").arg(data_)});

    // A tree folder is stored from its parent; the options follow the controls.
    host_->openFolder(data_ + QStringLiteral("sub/"));
    host_->setListClicked(false);
    const auto bare = [](frmCompressDialog& d) {
        d.chkLhaDir->setChecked(false);
        d.chkLhaAttr->setChecked(false);
        d.sldLhaLevel->setValue(7);
    };
    QCOMPARE(lines(lzh, bare), QStringList{QStringLiteral("a -jm4 \"%1\" \"%2\" \"sub/*.*\"").arg(lzh, data_)});

    host_->showOnlyVolume(QStringLiteral("/"));
    host_->openFolder(QStringLiteral("/"));
    host_->setListClicked(false);
    QCOMPARE(host_->folderTree()->selectedKey(), QStringLiteral("/"));
    QCOMPARE(lines(lzh), QStringList{head + QStringLiteral("\"/\" \"*.*\"")});

    // A mounted volume's top is a drive root too: stored without its mount path.
    const QString volume = dir_->path() + u'/';
    host_->showOnlyVolume(volume);
    host_->openFolder(volume);
    host_->setListClicked(false);
    QCOMPARE(host_->folderTree()->selectedKey(), volume);
    QCOMPARE(lines(lzh), QStringList{head + QStringLiteral("\"%1\" \"*.*\"").arg(volume)});
}

void tst_CompressCommand::severalTargetsAndAQuotedNameGoThroughAListFile()
{
    const QString lzh = data_ + QStringLiteral("x.lzh");
    for (const QStringList& names : {QStringList{"sub", "a.txt", "b.txt"}, QStringList{"say \"hi\".txt"}}) {
        QVERIFY(host_->selectNames(names));
        RecordingArchiver archiver;
        save(lzh);
        QCOMPARE(compress(archiver), 1);
        QCOMPARE(archiver.calls.size(), 1);
        QCOMPARE(archiver.calls[0].listFiles.size(), 1);
        const RecordingArchiver::ListFile& list = archiver.calls[0].listFiles[0];
        QVERIFY(list.path.startsWith(tmp_.path() + QStringLiteral("/Kes")));
        QCOMPARE(list.mode, 0600);
        QCOMPARE(archiver.calls[0].call.commandLine,
                 QStringLiteral("a -x1 -r2 -a2 -jm2 \"%1\" \"%2\" \"@%3\"").arg(lzh, data_, list.path));
        const QByteArray expected = names.size() == 3 ? QByteArray("\"sub/*.*\"\r\n\"a.txt\"\r\n\"b.txt\"\r\n")
                                                      : QByteArray("\"say \"hi\".txt\"\r\n");
        QCOMPARE(list.bytes, expected);
        QVERIFY(!QFile::exists(list.path));
    }
    // A name starting with "@" would be read as a list file's path: it goes
    // through one too.
    writeFile(data_ + QStringLiteral("@notes.txt"), "text");
    host_->refreshAll();
    QVERIFY(host_->selectNames({"@notes.txt"}));
    RecordingArchiver archiver;
    save(lzh);
    QCOMPARE(compress(archiver), 1);
    QCOMPARE(archiver.calls.size(), 1);
    QCOMPARE(archiver.calls[0].listFiles.size(), 1);
    QCOMPARE(archiver.calls[0].listFiles[0].bytes, QByteArray("\"@notes.txt\"\r\n"));
}

// The base folder and the archive stand in "..." on the line: a double quote
// in them is refused with a word.
void tst_CompressCommand::aDoubleQuoteInTheBaseOrTheArchiveIsRefused()
{
    const QString quoted = data_ + QStringLiteral("q\"d/");
    QVERIFY(QDir().mkpath(quoted));
    writeFile(quoted + QStringLiteral("f.txt"), "text");
    host_->refreshAll();
    host_->openFolder(quoted);
    QCOMPARE(host_->Path(), quoted);
    QVERIFY(host_->selectNames({QStringLiteral("f.txt")}));
    host_->prompts.answerMessage(Prompter::Answer::Ok,
                                 QStringLiteral("名前に \" を含むフォルダは基準にできません。ディレクトリ格納方式に絶対を指定して下さい"));
    RecordingArchiver archiver;
    QCOMPARE(compress(archiver), 0);

    QVERIFY(host_->selectNames({QStringLiteral("f.txt")}));
    save(data_ + QStringLiteral("a\"b.lzh"));
    host_->prompts.answerMessage(Prompter::Answer::Ok, QStringLiteral("書庫の名前やフォルダに \" を含めることはできません"));
    const auto absolute = [](frmCompressDialog& d) { d.cmbDirMethod->setCurrentIndex(1); };
    QCOMPARE(compress(archiver, absolute), 0);
    QVERIFY(archiver.calls.isEmpty());
}

void tst_CompressCommand::cabLinesForBothMethodsAndAVolumeSize()
{
    const QString cab = data_ + QStringLiteral("x.cab");
    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    const auto asCab = [](frmCompressDialog& d) { d.cmbCompMethod->setCurrentIndex(1); };
    QCOMPARE(lines(cab, asCab), QStringList{QStringLiteral("-a -r -mz \"%1\" \"%2\" \"a.txt\"").arg(cab, data_)});

    QVERIFY(host_->selectNames({QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    RecordingArchiver archiver;
    save(cab);
    const auto lzxInVolumes = [](frmCompressDialog& d) {
        d.cmbCompMethod->setCurrentIndex(1);
        d.cmbDirMethod->setCurrentIndex(1);
        d.optCabMethod[1]->setChecked(true);
        d.sldCabLZXLevel->setValue(21);
        d.chkCabMulti->setChecked(true);
    };
    QCOMPARE(compress(archiver, lzxInVolumes), 1);
    QCOMPARE(archiver.calls.size(), 1);
    const RecordingArchiver::ListFile& list = archiver.calls[0].listFiles.value(0);
    QCOMPARE(archiver.commandLines(), QStringList{QStringLiteral("-a -r -ml:21 -v:1423 \"%1\" \"@%2\"").arg(cab, list.path)});
    QCOMPARE(list.bytes, QStringLiteral("\"%1a.txt\"\r\n\"%1b.txt\"\r\n").arg(data_).toUtf8());
}

void tst_CompressCommand::aVolumeSizeOfLettersIsRefusedAndTheDialogStays()
{
    QVERIFY(host_->selectNames({QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    save(data_ + QStringLiteral("x.cab"));
    host_->prompts.answerMessage(Prompter::Answer::Ok, QStringLiteral("ﾏﾙﾁﾎﾞﾘｭｰﾑのｻｲｽﾞは数字しか指定できません"));
    RecordingArchiver archiver;
    const auto letters = [](frmCompressDialog& d) {
        d.cmbCompMethod->setCurrentIndex(1);
        d.chkCabMulti->setChecked(true);
        d.txtCabMultiSize->setText(QStringLiteral("abc"));
    };
    QCOMPARE(compress(archiver, letters), 0);
    QVERIFY(archiver.calls.isEmpty());
    QCOMPARE(host_->prompts.questions().last().icon, Prompter::Icon::Exclamation);
}

// The old archive is out of the way during the call (so "a" makes a new one),
// outside the folder being packed, and comes back when the call fails or is
// cancelled; a failure is told, a cancel is not.
void tst_CompressCommand::replacingKeepsTheOldArchiveUntilTheNewOneIsMade()
{
    host_->openFolder(data_ + QStringLiteral("sub/"));
    host_->setListClicked(false);
    const QString lzh = data_ + QStringLiteral("sub/s.lzh");
    struct Case { int result; QByteArray after; bool told; };
    for (const Case& c : {Case{KA_OK, "new", false}, Case{KA_ERR_WRITE, "old", true}, Case{KA_ERR_CANCELLED, "old", false}}) {
        writeFile(lzh, "old");
        ArchiveWritingArchiver archiver;
        archiver.archive = lzh;
        archiver.watched = data_ + QStringLiteral("sub");
        archiver.outcomes.push_back({true, {}, c.result, QStringLiteral("disk full")});
        save(lzh);
        host_->prompts.answerMessage(Prompter::Answer::Ok, kOverwrite);
        if (c.told)
            host_->prompts.answerMessage(Prompter::Answer::Ok, QStringLiteral("圧縮できませんでした。\ndisk full"));
        QCOMPARE(compress(archiver), 1);
        QCOMPARE(archiver.commandLines(), QStringList{QStringLiteral("a -x1 -r2 -a2 -jm2 \"%1\" \"%2\" \"sub/*.*\"").arg(lzh, data_)});
        QCOMPARE(archiver.archiveThere, QList<bool>{false});
        QCOMPARE(archiver.hiddenInside, QStringList());
        QCOMPARE(readAll(lzh), c.after);
        QCOMPARE(QDir(data_).entryList({QStringLiteral(".*")}, QDir::Hidden | QDir::Files), QStringList());
    }
}

void tst_CompressCommand::addingAndDecliningBothQuestions()
{
    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    const QString lzh = data_ + QStringLiteral("x.lzh");
    writeFile(lzh, "old");
    ArchiveWritingArchiver archiver;
    archiver.archive = lzh;
    save(lzh);
    host_->prompts.answerMessage(Prompter::Answer::Cancel, kOverwrite);
    host_->prompts.answerMessage(Prompter::Answer::Ok, kAdd);
    QCOMPARE(compress(archiver), 1);
    QCOMPARE(archiver.archiveThere, QList<bool>{true});
    const ScriptedPrompter::Question& asked = host_->prompts.questions()[1];
    QCOMPARE(asked.buttons, Prompter::Buttons::OkCancel);
    QCOMPARE(asked.icon, Prompter::Icon::Question);

    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    save(lzh);
    host_->prompts.answerMessage(Prompter::Answer::Cancel, kOverwrite);
    host_->prompts.answerMessage(Prompter::Answer::Cancel, kAdd);
    QCOMPARE(compress(archiver), 0);
    const QString cab = data_ + QStringLiteral("x.cab");
    writeFile(cab, "old");
    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    save(cab);
    host_->prompts.answerMessage(Prompter::Answer::Cancel, kOverwrite);
    const auto asCab = [](frmCompressDialog& d) { d.cmbCompMethod->setCurrentIndex(1); };
    QCOMPARE(compress(archiver, asCab), 0);
    QCOMPARE(archiver.calls.size(), 1);
    QCOMPARE(readAll(cab), QByteArray("old"));
}

// A set is written as x1.cab, x2.cab …: an x1.cab already there is asked
// about even though x.cab is not, and kept on Cancel.
void tst_CompressCommand::aSetAsksBeforeReplacingItsFirstCabinet()
{
    QCOMPARE(CabCommandBuilder::firstVolume(QStringLiteral("/d/セット.x/a b.cab")), QStringLiteral("/d/セット.x/a b1.cab"));
    QCOMPARE(CabCommandBuilder::firstVolume(QStringLiteral("/d/.cab")), QStringLiteral("/d/.cab1.cab"));
    const QString first = data_ + QStringLiteral("x1.cab");
    writeFile(first, "old");
    const auto inVolumes = [](bool multi) {
        return [multi](frmCompressDialog& d) {
            d.cmbCompMethod->setCurrentIndex(1);
            d.chkCabMulti->setChecked(multi);
        };
    };
    RecordingArchiver archiver;
    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    save(data_ + QStringLiteral("x.cab"));
    host_->prompts.answerMessage(Prompter::Answer::Cancel, kOverwrite);
    QCOMPARE(compress(archiver, inVolumes(true)), 0);
    QVERIFY(archiver.calls.isEmpty());
    QCOMPARE(readAll(first), QByteArray("old"));

    // A single cabinet never touches x1.cab: nothing to ask.
    QVERIFY(host_->selectNames({QStringLiteral("a.txt")}));
    save(data_ + QStringLiteral("x.cab"));
    QCOMPARE(compress(archiver, inVolumes(false)), 1);
    QCOMPARE(archiver.calls.size(), 1);
}

void tst_CompressCommand::theEnablingRulesAndTheLayout()
{
    Twips::overridePerPixel(15);
    RecordingArchiver archiver;
    frmCompressDialog d(*host_, archiver, {data_ + QStringLiteral("a.txt")});
    QCOMPARE(d.size(), QSize(337, 285));
    QCOMPARE(d.frameCompProp[1]->geometry(), QRect(8, 96, 265, 169));
    QCOMPARE(d.txtCabMultiSize->geometry().topLeft(), QPoint(160, 120));
    QVERIFY(!d.frameCompProp[0]->isHidden() && d.frameCompProp[1]->isHidden());
    QVERIFY(d.chkLhaDir->isChecked() && d.chkLhaAttr->isChecked() && !d.chkCabMulti->isChecked());
    QCOMPARE(d.txtCabMultiSize->text(), QStringLiteral("1423"));
    for (QWidget* w : {(QWidget*)d.lblCabLZXLevel, (QWidget*)d.lblCabLZX15, (QWidget*)d.lblCabLZX21,
                       (QWidget*)d.sldCabLZXLevel, (QWidget*)d.txtCabMultiSize, (QWidget*)d.lblCabMultiSize})
        QVERIFY(!w->isEnabled());

    d.cmbCompMethod->setCurrentIndex(1);
    d.cmbCompMethod_Click();
    QVERIFY(d.frameCompProp[0]->isHidden() && !d.frameCompProp[1]->isHidden());
    QTest::mouseClick(d.optCabMethod[1], Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(d.lblCabLZXLevel->isEnabled() && d.lblCabLZX15->isEnabled() && d.lblCabLZX21->isEnabled()
            && d.sldCabLZXLevel->isEnabled());
    d.optCabMethod[0]->setChecked(true);
    d.optCabMethod_Click(0);
    QVERIFY(!d.lblCabLZXLevel->isEnabled() && !d.sldCabLZXLevel->isEnabled());
    QTest::mouseClick(d.chkCabMulti, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(d.txtCabMultiSize->isEnabled() && d.lblCabMultiSize->isEnabled());
    Twips::overridePerPixel(0);
}

QTEST_MAIN(tst_CompressCommand)
#include "tst_CompressCommand.moc"
