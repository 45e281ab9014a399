#pragma once

#include "about/SysInfoLauncher.h"

#include <QDialog>
#include <QString>

class Prompter;
class QFrame;
class QLabel;
class QPushButton;
class SettingsStore;

// The About box: the program's icon, title, version and the line on how it
// came to be, with OK and a button that starts a system-information program.
// It is made anew for each showing and owned by the main window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The root key that both location values live under.
    static const QString HKEY_LOCAL_MACHINE;

    frmAbout(Prompter& prompter, SettingsStore& store, QWidget* owner = nullptr);

    // Shows a new About box modally over `owner` and returns when it has closed.
    static void showModal(QWidget* owner, Prompter& prompter, SettingsStore& store);

    // "ﾊﾞｰｼﾞｮﾝ 1.1.2": the numbers in plain decimal.
    static QString VersionText(int major, int minor, int revision);
    // The version this program was built as.
    static QString VersionText();

    // Starts a system-information program: the one the store names, else the
    // first one installed; says so when there is none or it cannot be started.
    void StartSysInfo();

    // Reads one text value of the store into `out`; on failure `out` is empty
    // and the result false.
    bool GetKeyValue(const QString& root, const QString& keyName, const QString& valueName,
                     QString& out);

    // The program search and start, for tests to redirect.
    SysInfoLauncher& launcher() { return launcher_; }

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    void buildControls();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Starts `program`, or says that system information cannot be used.
    void startOrReport(const QString& program);
    void reportUnavailable();

    Prompter& prompter_;
    SettingsStore& store_;
    SysInfoLauncher launcher_;
};
