#pragma once

#include "platform/SettingsStore.h"

#include <QString>
#include <memory>

class Prompter;
class StartupWait;
class frmMain;

// The program's shared routines: the start-up routine and the settings store
// operations. Settings live in sections of the key
// HKEY_LOCAL_MACHINE\SOFTWARE\BRAMBLE\Kestrel\<section>; every operation
// reports failure by its result, never by an exception.
class Module1 {
public:
    static const QString AppTitle;  // "Kestrel"
    static const QString HelpFile;  // "Kestrel.hlp"

    // Builds the application, runs the start-up order and the event loop.
    static int Main(int argc, char** argv);

    // The start-up order once the application exists: splash up, main window
    // loaded, the splash kept for the wait, then the main window shown. The
    // returned window is the one main window of the run.
    static std::unique_ptr<frmMain> Start(Prompter& prompter, StartupWait& wait);
    // The main window of the run, null before Start and after it is gone.
    static frmMain* MainWindow();

    static QString SettingsKeyPath(const QString& section);
    static SettingsStore::Handle CreateSettingsKey(const QString& section);
    static SettingsStore::Handle OpenSettingsKey(const QString& section);
    // true when the value could not be written or flushed.
    static bool WriteSetting(SettingsStore::Handle key, const QString& name, const QString& value);
    // 0 on success, with `value` set to the stored text up to its first NUL;
    // the store's error code otherwise (2: no such value), `value` then unusable.
    static long ReadSetting(SettingsStore::Handle key, const QString& name, QString& value);
    static long CloseSettingsKey(SettingsStore::Handle key);

    // Tests point the store at a temporary folder.
    static void setSettingsRoot(const QString& root);
    static SettingsStore& Settings();

private:
    static void forgetMainWindow(frmMain* window);
    friend class frmMain;
};
