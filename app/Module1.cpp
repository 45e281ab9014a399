#include "app/Module1.h"

#include "app/AppPictures.h"
#include "app/KestrelApplication.h"
#include "app/StartupArguments.h"
#include "app/StartupWait.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/ApplicationTitle.h"
#include "platform/InterfaceFont.h"
#include "platform/QtJapaneseTexts.h"
#include "platform/QtPrompter.h"

#include <QApplication>

#include <cstdio>
#include <optional>

const QString Module1::AppTitle = ApplicationTitle();
const QString Module1::HelpFile = QStringLiteral("Kestrel.hlp");

namespace {

// Values are read into a buffer of this many bytes, as they always were.
constexpr int kReadBufferBytes = 128;

std::unique_ptr<SettingsStore>& store()
{
    static std::unique_ptr<SettingsStore> instance;
    return instance;
}

frmMain*& mainWindow()
{
    static frmMain* window = nullptr;
    return window;
}

// --help and --version print and end the run; a usage mistake ends it too.
std::optional<int> answerWithoutWindow(const StartupArguments& arguments)
{
    switch (arguments.kind()) {
    case StartupArguments::Kind::Help:
        std::fputs(StartupArguments::helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case StartupArguments::Kind::Version:
        std::fputs(StartupArguments::versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case StartupArguments::Kind::Usage:
        std::fprintf(stderr, "%s\n%s", arguments.usageMistake().toLocal8Bit().constData(),
                     StartupArguments::helpText().toLocal8Bit().constData());
        return 2;
    default: return std::nullopt;
    }
}

} // namespace

SettingsStore& Module1::Settings()
{
    if (!store())
        store() = std::make_unique<SettingsStore>();
    return *store();
}

void Module1::setSettingsRoot(const QString& root)
{
    store() = std::make_unique<SettingsStore>(root);
}

QString Module1::SettingsKeyPath(const QString& section)
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\BRAMBLE\\") + AppTitle + QLatin1Char('\\')
        + section;
}

SettingsStore::Handle Module1::CreateSettingsKey(const QString& section)
{
    return Settings().createKey(SettingsKeyPath(section));
}

SettingsStore::Handle Module1::OpenSettingsKey(const QString& section)
{
    return Settings().openKey(SettingsKeyPath(section));
}

bool Module1::WriteSetting(SettingsStore::Handle key, const QString& name, const QString& value)
{
    // REG_SZ: the text and its closing NUL.
    QByteArray data = value.toLocal8Bit();
    data.append('\0');
    if (Settings().setValue(key, name, data) != SettingsStore::Success)
        return true;
    return Settings().flushKey(key) != SettingsStore::Success;
}

long Module1::ReadSetting(SettingsStore::Handle key, const QString& name, QString& value)
{
    QByteArray data;
    const long status = Settings().queryValue(key, name, data, kReadBufferBytes);
    if (status != SettingsStore::Success)
        return status;
    const qsizetype nul = data.indexOf('\0');
    value = QString::fromLocal8Bit(nul < 0 ? data : data.left(nul));
    return status;
}

long Module1::CloseSettingsKey(SettingsStore::Handle key)
{
    return Settings().closeKey(key);
}

frmMain* Module1::MainWindow()
{
    return mainWindow();
}

void Module1::forgetMainWindow(frmMain* window)
{
    if (mainWindow() == window)
        mainWindow() = nullptr;
}

std::unique_ptr<frmMain> Module1::Start(Prompter& prompter, StartupWait& wait)
{
    // Between the splash closing and the main window showing no window is up;
    // that must not end the program.
    const bool quitOnLast = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);

    auto splash = std::make_unique<frmSplash>();
    splash->show();
    splash->repaint();

    auto window = std::make_unique<frmMain>(prompter);
    mainWindow() = window.get();

    wait.run(3);

    splash->close();
    splash.reset();
    window->show();
    QGuiApplication::setQuitOnLastWindowClosed(quitOnLast);
    return window;
}

int Module1::Main(int argc, char** argv)
{
    // Read before the application exists, so --help and --version need no
    // display. Qt's own options (-platform and the like) are known only to
    // the application, which reads them out of the list: ask again after it.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const StartupArguments early = StartupArguments::parse(raw);
    if (early.kind() == StartupArguments::Kind::Help || early.kind() == StartupArguments::Kind::Version)
        return *answerWithoutWindow(early);

    KestrelApplication app(argc, argv);
    const StartupArguments arguments = StartupArguments::parse(QApplication::arguments().mid(1));
    if (const std::optional<int> status = answerWithoutWindow(arguments))
        return *status;
    // Qt's own texts (はい, いいえ, キャンセル in message boxes, the file dialogs)
    // in the program's language, and one Japanese-capable face for all text.
    QtJapaneseTexts::install();
    InterfaceFont::apply();
    QApplication::setApplicationName(AppTitle);
    QApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    QApplication::setWindowIcon(AppPictures::windowIcon());
    // Ties the windows to the desktop entry, whose icon Wayland shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.bramble.Kestrel"));
    QtPrompter prompter;
    app.setPrompter(&prompter);
    StartupWait wait;
    const std::unique_ptr<frmMain> window = Start(prompter, wait);
    arguments.apply(*window, prompter);
    return QApplication::exec();
}
