#include "fileops/RenameCommand.h"
#include "support/FakeCommandHost.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using TestFiles::read;
using TestFiles::write;

// Renaming in place through FakeCommandHost: the two label-edit steps called
// as the window's handlers would, and once through the list's own signals.
class tst_RenameCommand : public QObject {
    Q_OBJECT
private:
    QString root() const { return dir_->path() + '/'; }
    static QString warning()
    {
        return QStringLiteral("これらのﾌｧｲﾙ名を変更すると動作に影響を及ぼす可能性があります。\r\n"
                              "ﾌｧｲﾙ名変更を続行しますか?");
    }
    static QStringList names(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }
    void open(FakeCommandHost& host)
    {
        host.showOnlyVolume(root());
        host.openFolder(root());
        QCOMPARE(host.Path(), root());
    }
    // Both steps, as a finished edit runs them; true when the edit went on.
    static bool edit(RenameCommand& rename, FakeCommandHost& host, const QString& oldName,
                     const QString& newName)
    {
        bool cancel = false;
        rename.lvListView_BeforeLabelEdit(host.Path() + oldName, oldName, &cancel);
        if (cancel)
            return false;
        rename.lvListView_AfterLabelEdit(host.Path() + oldName, oldName, newName);
        return true;
    }

    std::unique_ptr<QTemporaryDir> dir_;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void plainEntriesAreRenamedWithoutAQuestion()
    {
        write(root() + "old.txt", "content");
        QVERIFY(QDir().mkpath(root() + "folder"));
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);
        QVERIFY(edit(rename, host, "old.txt", QStringLiteral("新しい 名前.txt")));
        QCOMPARE(rename.OldName(), QStringLiteral("old.txt"));
        QVERIFY(edit(rename, host, "folder", "renamed"));
        QVERIFY(host.prompts.questions().isEmpty());
        QCOMPARE(names(root()), (QStringList{"renamed", QStringLiteral("新しい 名前.txt")}));
        QCOMPARE(read(root() + QStringLiteral("新しい 名前.txt")), QByteArray("content"));
        QCOMPARE(host.refreshes, 2);
        QVERIFY(host.list.rowOfKey(root() + "renamed") >= 0);
        QVERIFY(host.tree.nodeByKey(root() + "renamed/"));
    }

    void anExistingNameIsNeverReplaced()
    {
        write(root() + "a.txt", "a");
        write(root() + "b.txt", "b");
        QVERIFY(QDir().mkpath(root() + "dir"));
        QVERIFY(QFile::link(root() + "nowhere", root() + "broken"));
        write(root() + "abc.txt", "lower");
        write(root() + "ABC.TXT", "upper");
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);
        for (const char* taken : {"b.txt", "dir", "broken", "a.txt"})
            QVERIFY(edit(rename, host, "a.txt", taken));
        // Names differing only in case are two entries here: the other one stays.
        QVERIFY(edit(rename, host, "abc.txt", "ABC.TXT"));
        QCOMPARE(read(root() + "a.txt"), QByteArray("a"));
        QCOMPARE(read(root() + "b.txt"), QByteArray("b"));
        QVERIFY(QFileInfo(root() + "broken").isSymLink());
        QCOMPARE(read(root() + "abc.txt"), QByteArray("lower"));
        QCOMPARE(read(root() + "ABC.TXT"), QByteArray("upper"));
        QVERIFY(host.prompts.questions().isEmpty());  // said nothing
        QCOMPARE(host.refreshes, 5);                  // and listed again each time
    }

    void aCaseOnlyChangeRenamesWhereNamesAreExact()
    {
        write(root() + "abc.txt", "x");
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);
        QVERIFY(edit(rename, host, "abc.txt", "ABC.TXT"));
        // A volume that folds case finds "abc.txt" under the new name and keeps it.
        if (names(root()) == QStringList{"abc.txt"})
            QSKIP("this volume folds case");
        QCOMPARE(names(root()), QStringList{"ABC.TXT"});
        QCOMPARE(read(root() + "ABC.TXT"), QByteArray("x"));
    }

    void noNameAndNoEditRenameNothing()
    {
        write(root() + "a.txt", "a");
        QVERIFY(QDir().mkpath(root() + "sub"));
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);
        for (const QString& bad : {QString(), QStringLiteral("."), QStringLiteral(".."),
                                   QStringLiteral("sub/a.txt"), QStringLiteral("../a.txt"),
                                   QStringLiteral("x") + QChar(0) + QStringLiteral("y"),
                                   QString(300, u'n')})
            QVERIFY(edit(rename, host, "a.txt", bad));
        QCOMPARE(names(root()), (QStringList{"a.txt", "sub"}));
        QVERIFY(names(root() + "sub").isEmpty());
        QCOMPARE(host.refreshes, 7);
    }

    void aFailedRenameKeepsTheOldName()
    {
        write(root() + "locked/a.txt", "a");
        FakeCommandHost host;
        host.showOnlyVolume(root());
        host.openFolder(root() + "locked/");
        RenameCommand rename(host);
        // The entry is gone by the time the edit ends.
        QVERIFY(QFile::remove(root() + "locked/a.txt"));
        QVERIFY(edit(rename, host, "a.txt", "b.txt"));
        QVERIFY(names(root() + "locked").isEmpty());
        QCOMPARE(host.refreshes, 1);
        QCOMPARE(host.list.count(), 0);
    }

    void entriesProgramsRelyOnAskFirst()
    {
        write(root() + ".hidden", "h");
        QVERIFY(::mkfifo(QFile::encodeName(root() + "pipe").constData(), 0600) == 0);
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);

        host.prompts.answerMessage(Prompter::Answer::No, warning());
        QVERIFY(!edit(rename, host, ".hidden", "shown"));
        const ScriptedPrompter::Question& asked = host.prompts.questions().last();
        QCOMPARE(asked.buttons, Prompter::Buttons::YesNoDefaultNo);
        QCOMPARE(asked.icon, Prompter::Icon::Stop);
        QCOMPARE(asked.title, QStringLiteral("Kestrel"));
        QCOMPARE(host.refreshes, 0);
        QCOMPARE(names(root()), (QStringList{".hidden", "pipe"}));

        host.prompts.answerMessage(Prompter::Answer::Yes, warning());
        QVERIFY(edit(rename, host, ".hidden", "shown"));
        host.prompts.answerMessage(Prompter::Answer::Yes, warning());
        QVERIFY(edit(rename, host, "pipe", "fifo"));
        QCOMPARE(names(root()), (QStringList{"fifo", "shown"}));
        QCOMPARE(host.prompts.pendingAnswers(), 0);
    }

    void readOnlyEntriesAskFirst()
    {
        if (::geteuid() == 0)
            QSKIP("nothing is read-only for root");
        write(root() + "ro.txt", "r");
        QVERIFY(QFile::setPermissions(root() + "ro.txt", QFile::ReadOwner));
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);
        host.prompts.answerMessage(Prompter::Answer::No, warning());
        QVERIFY(!edit(rename, host, "ro.txt", "rw.txt"));
        host.prompts.answerMessage(Prompter::Answer::Yes, warning());
        QVERIFY(edit(rename, host, "ro.txt", "rw.txt"));
        QCOMPARE(names(root()), QStringList{"rw.txt"});
    }

    void theListsOwnEditRunsBothSteps()
    {
        write(root() + ".old", "o");
        write(root() + "plain.txt", "p");
        FakeCommandHost host;
        open(host);
        RenameCommand rename(host);
        rename.attach(host.list);

        // The question stops the editor from opening at all.
        host.prompts.answerMessage(Prompter::Answer::No, warning());
        QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
        QVERIFY(!host.list.startLabelEdit(root() + ".old"));

        host.prompts.answerMessage(Prompter::Answer::Yes, warning());
        QVERIFY(host.list.startLabelEdit(root() + ".old"));
        auto* editor = host.list.currentView()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("new.txt"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(host.refreshes, 1);
        QCOMPARE(names(root()), (QStringList{"new.txt", "plain.txt"}));
        QVERIFY(host.list.rowOfKey(root() + "new.txt") >= 0);

        // Escape ends the edit with no name: nothing renamed, listed again.
        QVERIFY(host.list.startLabelEdit(root() + "plain.txt"));
        editor = host.list.currentView()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("other.txt"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_COMPARE(host.refreshes, 2);
        QCOMPARE(names(root()), (QStringList{"new.txt", "plain.txt"}));
        QCOMPARE(host.prompts.pendingAnswers(), 0);
    }
};

QTEST_MAIN(tst_RenameCommand)
#include "tst_RenameCommand.moc"
