#include "about/frmAbout.h"
#include "platform/ScriptedPrompter.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString kMsinfoKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

// Notes which window each message box would have opened over.
class OwnerNotingPrompter : public ScriptedPrompter {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override
    {
        owners << owner();
        return ScriptedPrompter::message(text, buttons, icon, title);
    }
    QList<QWidget*> owners;
};

struct Launched {
    QString program;
    QStringList arguments;
};

} // namespace

class tst_frmAbout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsTitleVersionAndDescription();
    void versionNumbersArePlainDecimal();
    void showsTheOwnersIcon();
    void okClosesAndShowModalReturns();

    void readsAStoredText();
    void failsOnMissingKeyOrValueWithEmptyText();
    void readsUpToTheBufferSizeAndNoFurther();
    void cutsTheTextAtItsFirstNul();

    void noProgramAnywhereShowsTheMessageAndStartsNothing();
    void registeredPathIsStartedFirst();
    void registeredPathThatCannotStartShowsTheMessage();
    void locationWithoutTheProgramFileFallsThrough();
    void locationWithTheProgramFileStartsIt();
    void installedProgramIsStartedWithItsArguments();
    void systemInformationButtonRunsTheLauncher();

private:
    frmAbout* makeBox(QWidget* owner = nullptr);
    void setValue(const QString& key, const QString& name, const QByteArray& data);

    QTemporaryDir* temp_ = nullptr;
    SettingsStore* store_ = nullptr;
    OwnerNotingPrompter* prompts_ = nullptr;
    QList<Launched> launched_;
    bool launchWorks_ = true;
};

void tst_frmAbout::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_frmAbout::init()
{
    temp_ = new QTemporaryDir;
    QVERIFY(temp_->isValid());
    store_ = new SettingsStore(temp_->filePath(QStringLiteral("registry")));
    prompts_ = new OwnerNotingPrompter;
    launched_.clear();
    launchWorks_ = true;
}

void tst_frmAbout::cleanup()
{
    QCOMPARE(prompts_->pendingAnswers(), 0);
    delete prompts_;
    delete store_;
    delete temp_;
}

frmAbout* tst_frmAbout::makeBox(QWidget* owner)
{
    auto* box = new frmAbout(*prompts_, *store_, owner);
    SysInfoLauncher& launcher = box->launcher();
    // An empty folder stands for PATH, so no installed program is ever found
    // unless a test puts one there.
    const QString emptyPath = temp_->filePath(QStringLiteral("empty-path"));
    QDir().mkpath(emptyPath);
    launcher.setSearchPaths({emptyPath});
    launcher.setLaunch([this](const QString& program, const QStringList& arguments) {
        launched_.append({program, arguments});
        return launchWorks_;
    });
    return box;
}

void tst_frmAbout::setValue(const QString& key, const QString& name, const QByteArray& data)
{
    const SettingsStore::Handle handle = store_->createKey(key);
    QVERIFY(handle != 0);
    QCOMPARE(store_->setValue(handle, name, data), long(SettingsStore::Success));
    store_->closeKey(handle);
}

void tst_frmAbout::showsTitleVersionAndDescription()
{
    std::unique_ptr<frmAbout> box(makeBox());
    QCOMPARE(box->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 Kestrel"));
    QCOMPARE(box->lblTitle->text(), QStringLiteral("Kestrel"));
    QCOMPARE(box->lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1.2"));
    QCOMPARE(box->lblDescription->text(),
             QStringLiteral("元々ファイルの切断を目的に作っていたが、使い勝手を向上していくうちにファイラーとなった"));
    QCOMPARE(box->cmdOK->text(), QStringLiteral("OK"));
    QCOMPARE(box->cmdSysInfo->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    QCOMPARE(box->Line1->frameShape(), QFrame::HLine);
    QVERIFY(box->isModal());
    // Tests and the main window find the controls by their names.
    for (const char* name : {"picIcon", "lblTitle", "lblVersion", "lblDescription", "Line1", "cmdOK",
                             "cmdSysInfo"})
        QVERIFY2(box->findChild<QWidget*>(QLatin1String(name)), name);
}

void tst_frmAbout::versionNumbersArePlainDecimal()
{
    QCOMPARE(frmAbout::VersionText(1, 1, 2), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1.2"));
    QCOMPARE(frmAbout::VersionText(10, 0, 7), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 10.0.7"));
    QCOMPARE(frmAbout::VersionText(2, 12, 105), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 2.12.105"));
}

void tst_frmAbout::showsTheOwnersIcon()
{
    QPixmap red(32, 32);
    red.fill(Qt::red);
    QWidget owner;
    owner.setWindowIcon(QIcon(red));
    std::unique_ptr<frmAbout> box(makeBox(&owner));
    const QPixmap shown = box->picIcon->pixmap();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.toImage().pixelColor(16, 16), QColor(Qt::red));

    // Without an owner the application's icon is shown.
    QPixmap blue(32, 32);
    blue.fill(Qt::blue);
    QApplication::setWindowIcon(QIcon(blue));
    std::unique_ptr<frmAbout> ownerless(makeBox());
    QCOMPARE(ownerless->picIcon->pixmap().toImage().pixelColor(16, 16), QColor(Qt::blue));
    QApplication::setWindowIcon(QIcon());
}

void tst_frmAbout::okClosesAndShowModalReturns()
{
    std::unique_ptr<frmAbout> box(makeBox());
    box->show();
    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
    QVERIFY(!box->isVisible());
    QCOMPARE(box->result(), int(QDialog::Accepted));

    // The menu's way in: a modal box over the owner that OK closes.
    QWidget owner;
    owner.show();
    bool clicked = false;
    QWidget* shownOwner = nullptr;
    QTimer::singleShot(0, this, [&clicked, &shownOwner] {
        auto* shown = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        if (shown) {
            shownOwner = shown->parentWidget();
            shown->cmdOK->click();
            clicked = true;
        }
    });
    frmAbout::showModal(&owner, *prompts_, *store_);
    QVERIFY(clicked);
    QCOMPARE(shownOwner, &owner);
    // Made anew for each showing: nothing of it is left behind.
    QVERIFY(!owner.findChild<frmAbout*>());
}

void tst_frmAbout::readsAStoredText()
{
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray("/opt/info/bin/msinfo\0", 21));
    std::unique_ptr<frmAbout> box(makeBox());
    QString out = QStringLiteral("old");
    QVERIFY(box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                             QStringLiteral("PATH"), out));
    QCOMPARE(out, QStringLiteral("/opt/info/bin/msinfo"));

    // Text in the locale's encoding (UTF-8 here) comes back whole.
    setValue(kMsinfoKey, QStringLiteral("名前"), QStringLiteral("情報ツール").toLocal8Bit() + '\0');
    QVERIFY(box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                             QStringLiteral("名前"), out));
    QCOMPARE(out, QStringLiteral("情報ツール"));
}

void tst_frmAbout::failsOnMissingKeyOrValueWithEmptyText()
{
    std::unique_ptr<frmAbout> box(makeBox());
    QString out = QStringLiteral("left over");
    QVERIFY(!box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Nowhere"),
                              QStringLiteral("PATH"), out));
    QVERIFY(out.isEmpty());

    setValue(kMsinfoKey, QStringLiteral("Other"), QByteArray("x\0", 2));
    out = QStringLiteral("left over");
    QVERIFY(!box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE,
                              QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                              QStringLiteral("PATH"), out));
    QVERIFY(out.isEmpty());

    // A key name that would climb out of the store is no key at all.
    out = QStringLiteral("left over");
    QVERIFY(!box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE, QStringLiteral("..\\..\\etc"),
                              QStringLiteral("PATH"), out));
    QVERIFY(out.isEmpty());
}

void tst_frmAbout::readsUpToTheBufferSizeAndNoFurther()
{
    std::unique_ptr<frmAbout> box(makeBox());
    const QString key = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    QString out;

    // 1023 characters and the NUL fill the 1024-byte buffer exactly.
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray(1023, 'a') + '\0');
    QVERIFY(box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE, key, QStringLiteral("PATH"), out));
    QCOMPARE(out.size(), 1023);

    // One byte more does not fit: the read fails rather than giving a cut path.
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray(1024, 'a') + '\0');
    QVERIFY(!box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE, key, QStringLiteral("PATH"), out));
    QVERIFY(out.isEmpty());
}

void tst_frmAbout::cutsTheTextAtItsFirstNul()
{
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray("/bin/first\0/bin/second\0", 23));
    std::unique_ptr<frmAbout> box(makeBox());
    QString out;
    QVERIFY(box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                             QStringLiteral("PATH"), out));
    QCOMPARE(out, QStringLiteral("/bin/first"));

    // Data without any NUL is taken whole.
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray("/bin/plain"));
    QVERIFY(box->GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                             QStringLiteral("PATH"), out));
    QCOMPARE(out, QStringLiteral("/bin/plain"));
}

void tst_frmAbout::noProgramAnywhereShowsTheMessageAndStartsNothing()
{
    QWidget mainWindow;
    prompts_->setOwner(&mainWindow);
    std::unique_ptr<frmAbout> box(makeBox(&mainWindow));
    box->show();
    prompts_->answerMessage(Prompter::Answer::Ok, kUnavailable);
    box->StartSysInfo();
    QVERIFY(launched_.isEmpty());
    QCOMPARE(prompts_->questions().size(), 1);
    const ScriptedPrompter::Question& q = prompts_->questions().first();
    QCOMPARE(q.buttons, Prompter::Buttons::Ok);
    QCOMPARE(q.icon, Prompter::Icon::None);
    QCOMPARE(q.title, QStringLiteral("Kestrel"));
    // The box stays open for another try.
    QVERIFY(box->isVisible());
    // The message opened over the box, and the main window owns the next one again.
    QCOMPARE(prompts_->owners, QList<QWidget*>{box.get()});
    QCOMPARE(prompts_->owner(), &mainWindow);
}

void tst_frmAbout::registeredPathIsStartedFirst()
{
    // Both values set: the program path wins over the folder.
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray("/opt/tools/sysinfo\0", 19));
    const QString folder = temp_->filePath(QStringLiteral("tools"));
    QDir().mkpath(folder);
    QFile(folder + QStringLiteral("/MSINFO32.EXE")).open(QIODevice::WriteOnly);
    setValue(kLocationKey, QStringLiteral("MSINFO"), folder.toLocal8Bit() + '\0');

    std::unique_ptr<frmAbout> box(makeBox());
    box->StartSysInfo();
    QCOMPARE(launched_.size(), 1);
    QCOMPARE(launched_.first().program, QStringLiteral("/opt/tools/sysinfo"));
    QVERIFY(launched_.first().arguments.isEmpty());
    QVERIFY(prompts_->questions().isEmpty());
}

void tst_frmAbout::registeredPathThatCannotStartShowsTheMessage()
{
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray("/no/such/program\0", 17));
    std::unique_ptr<frmAbout> box(makeBox());
    launchWorks_ = false;
    prompts_->answerMessage(Prompter::Answer::Ok, kUnavailable);
    box->StartSysInfo();
    // The user's own choice failed: nothing else is started in its place.
    QCOMPARE(launched_.size(), 1);
    QCOMPARE(prompts_->questions().size(), 1);
}

void tst_frmAbout::locationWithoutTheProgramFileFallsThrough()
{
    const QString folder = temp_->filePath(QStringLiteral("empty-tools"));
    QDir().mkpath(folder);
    setValue(kLocationKey, QStringLiteral("MSINFO"), folder.toLocal8Bit() + '\0');
    std::unique_ptr<frmAbout> box(makeBox());
    prompts_->answerMessage(Prompter::Answer::Ok, kUnavailable);
    box->StartSysInfo();
    QVERIFY(launched_.isEmpty());

    // A folder by the program's name is not the program.
    QDir().mkpath(folder + QStringLiteral("/MSINFO32.EXE"));
    prompts_->answerMessage(Prompter::Answer::Ok, kUnavailable);
    box->StartSysInfo();
    QVERIFY(launched_.isEmpty());
}

void tst_frmAbout::locationWithTheProgramFileStartsIt()
{
    const QString folder = temp_->filePath(QStringLiteral("tools"));
    QDir().mkpath(folder);
    QFile program(folder + QStringLiteral("/MSINFO32.EXE"));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    setValue(kLocationKey, QStringLiteral("MSINFO"), folder.toLocal8Bit() + '\0');
    std::unique_ptr<frmAbout> box(makeBox());
    box->StartSysInfo();
    QCOMPARE(launched_.size(), 1);
    QCOMPARE(launched_.first().program, folder + QStringLiteral("/MSINFO32.EXE"));
    QVERIFY(prompts_->questions().isEmpty());
}

void tst_frmAbout::installedProgramIsStartedWithItsArguments()
{
    const QString bin = temp_->filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    QFile tool(bin + QStringLiteral("/infotool"));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.close();
    QVERIFY(tool.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    std::unique_ptr<frmAbout> box(makeBox());
    box->launcher().setSearchPaths({bin});
    box->launcher().setCandidates({{QStringLiteral("missingtool"), {}, {}},
                                   {QStringLiteral("infotool"), {QStringLiteral("--summary")}, {}}});
    box->StartSysInfo();
    QCOMPARE(launched_.size(), 1);
    QCOMPARE(launched_.first().program, bin + QStringLiteral("/infotool"));
    QCOMPARE(launched_.first().arguments, QStringList{QStringLiteral("--summary")});

    // Found but refusing to start: the same message as when nothing is there.
    launchWorks_ = false;
    prompts_->answerMessage(Prompter::Answer::Ok, kUnavailable);
    box->StartSysInfo();
    QCOMPARE(launched_.size(), 2);
}

void tst_frmAbout::systemInformationButtonRunsTheLauncher()
{
    setValue(kMsinfoKey, QStringLiteral("PATH"), QByteArray("/opt/tools/sysinfo\0", 19));
    std::unique_ptr<frmAbout> box(makeBox());
    box->show();
    QTest::mouseClick(box->cmdSysInfo, Qt::LeftButton);
    QCOMPARE(launched_.size(), 1);
    QVERIFY(box->isVisible());
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
