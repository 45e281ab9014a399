#include "about/SysInfoLauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_SysInfoLauncher : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void prefersTheListsOrderOverTheFoldersOrder();
    void searchesTheFoldersInOrder();
    void skipsFilesThatCannotBeRun();
    void desktopBoundProgramsOnlyOnTheirDesktop();
    void nothingFoundStartsNothing();
    void emptyRegisteredPathIsNotStarted();

private:
    // Makes an executable (or plain) file `name` in `folder` and returns its path.
    QString makeProgram(const QString& folder, const QString& name, bool executable = true);
    SysInfoLauncher makeLauncher(const QStringList& folders);

    QTemporaryDir* temp_ = nullptr;
    QList<QPair<QString, QStringList>> started_;
};

void tst_SysInfoLauncher::init()
{
    temp_ = new QTemporaryDir;
    QVERIFY(temp_->isValid());
    started_.clear();
}

void tst_SysInfoLauncher::cleanup()
{
    delete temp_;
}

QString tst_SysInfoLauncher::makeProgram(const QString& folder, const QString& name, bool executable)
{
    const QString dir = temp_->filePath(folder);
    QDir().mkpath(dir);
    QFile file(dir + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n");
    file.close();
    QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable)
        mode |= QFileDevice::ExeOwner;
    file.setPermissions(mode);
    return file.fileName();
}

SysInfoLauncher tst_SysInfoLauncher::makeLauncher(const QStringList& folders)
{
    SysInfoLauncher launcher;
    QStringList paths;
    for (const QString& folder : folders) {
        QDir().mkpath(temp_->filePath(folder));
        paths << temp_->filePath(folder);
    }
    launcher.setSearchPaths(paths);
    launcher.setDesktop(QString());
    launcher.setLaunch([this](const QString& program, const QStringList& arguments) {
        started_.append({program, arguments});
        return true;
    });
    return launcher;
}

void tst_SysInfoLauncher::prefersTheListsOrderOverTheFoldersOrder()
{
    makeProgram(QStringLiteral("first"), QStringLiteral("lesser"));
    const QString better = makeProgram(QStringLiteral("second"), QStringLiteral("better"));
    SysInfoLauncher launcher = makeLauncher({QStringLiteral("first"), QStringLiteral("second")});
    launcher.setCandidates({{QStringLiteral("better"), {QStringLiteral("--all")}, {}},
                            {QStringLiteral("lesser"), {}, {}}});
    QVERIFY(launcher.startFirstFound());
    QCOMPARE(started_.size(), 1);
    QCOMPARE(started_.first().first, better);
    QCOMPARE(started_.first().second, QStringList{QStringLiteral("--all")});
}

void tst_SysInfoLauncher::searchesTheFoldersInOrder()
{
    const QString early = makeProgram(QStringLiteral("a"), QStringLiteral("tool"));
    makeProgram(QStringLiteral("b"), QStringLiteral("tool"));
    SysInfoLauncher launcher = makeLauncher({QStringLiteral("a"), QStringLiteral("b")});
    launcher.setCandidates({{QStringLiteral("tool"), {}, {}}});
    QCOMPARE(launcher.find().program, early);
}

void tst_SysInfoLauncher::skipsFilesThatCannotBeRun()
{
    makeProgram(QStringLiteral("bin"), QStringLiteral("plainfile"), false);
    QDir().mkpath(temp_->filePath(QStringLiteral("bin/afolder")));
    const QString runnable = makeProgram(QStringLiteral("bin"), QStringLiteral("runnable"));
    SysInfoLauncher launcher = makeLauncher({QStringLiteral("bin")});
    launcher.setCandidates({{QStringLiteral("plainfile"), {}, {}},
                            {QStringLiteral("afolder"), {}, {}},
                            {QStringLiteral("runnable"), {}, {}}});
    QCOMPARE(launcher.find().program, runnable);
}

void tst_SysInfoLauncher::desktopBoundProgramsOnlyOnTheirDesktop()
{
    const QString settings = makeProgram(QStringLiteral("bin"), QStringLiteral("desk-settings"));
    const QString general = makeProgram(QStringLiteral("bin"), QStringLiteral("general"));
    SysInfoLauncher launcher = makeLauncher({QStringLiteral("bin")});
    launcher.setCandidates({{QStringLiteral("desk-settings"), {QStringLiteral("info")},
                             {QStringLiteral("GNOME")}},
                            {QStringLiteral("general"), {}, {}}});

    launcher.setDesktop(QStringLiteral("KDE"));
    QCOMPARE(launcher.find().program, general);
    launcher.setDesktop(QString());
    QCOMPARE(launcher.find().program, general);
    // The variable lists several names, most specific first; case does not matter.
    launcher.setDesktop(QStringLiteral("ubuntu:gnome"));
    QCOMPARE(launcher.find().program, settings);
    QCOMPARE(launcher.find().arguments, QStringList{QStringLiteral("info")});
}

void tst_SysInfoLauncher::nothingFoundStartsNothing()
{
    SysInfoLauncher launcher = makeLauncher({QStringLiteral("empty")});
    launcher.setCandidates(SysInfoLauncher::defaultCandidates());
    QVERIFY(launcher.find().program.isEmpty());
    QVERIFY(!launcher.startFirstFound());
    QVERIFY(started_.isEmpty());
}

void tst_SysInfoLauncher::emptyRegisteredPathIsNotStarted()
{
    SysInfoLauncher launcher = makeLauncher({QStringLiteral("empty")});
    QVERIFY(!launcher.start(QString()));
    QVERIFY(started_.isEmpty());
    QVERIFY(launcher.start(QStringLiteral("/opt/x/info")));
    QCOMPARE(started_.first().first, QStringLiteral("/opt/x/info"));
    QVERIFY(started_.first().second.isEmpty());
}

QTEST_GUILESS_MAIN(tst_SysInfoLauncher)
#include "tst_SysInfoLauncher.moc"
