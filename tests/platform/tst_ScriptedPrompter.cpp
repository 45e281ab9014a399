#include "platform/ScriptedPrompter.h"

#include <QtTest>

// The scripted prompter is what every window test trusts to notice a question
// it did not expect; these tests make sure it does.
class tst_ScriptedPrompter : public QObject {
    Q_OBJECT

private slots:
    void answersInOrderAndRecordsEachQuestion()
    {
        ScriptedPrompter p;
        p.answerMessage(Prompter::Answer::Yes, "消しますか?");
        p.answerInput(QString("名前"));
        p.answerPickFolder(std::nullopt);
        p.answerSaveFile(QString("/tmp/a.lzh"), "名前を付けて保存");
        QCOMPARE(p.message("消しますか?", Prompter::Buttons::YesNo, Prompter::Icon::Question, "Kestrel"),
                 Prompter::Answer::Yes);
        QCOMPARE(p.input("入力", "Kestrel", "既定"), std::optional<QString>("名前"));
        QCOMPARE(p.pickFolder("選んで"), std::nullopt);
        QCOMPARE(p.saveFile("名前を付けて保存", "/tmp", "*.lzh", "lzh"),
                 std::optional<QString>("/tmp/a.lzh"));
        QCOMPARE(p.pendingAnswers(), 0);
        QVERIFY(p.failures().isEmpty());
        QCOMPARE(p.questions().size(), 4);
        const auto& q = p.questions().at(0);
        QCOMPARE(q.text, QString("消しますか?"));
        QCOMPARE(q.buttons, Prompter::Buttons::YesNo);
        QCOMPARE(q.icon, Prompter::Icon::Question);
        QCOMPARE(q.title, QString("Kestrel"));
        QCOMPARE(p.questions().at(1).defaultText, QString("既定"));
    }

    void unexpectedQuestionsFailAndAreCancelled()
    {
        ScriptedPrompter p;
        QStringList seen;
        p.setFailureHandler([&](const QString& d) { seen << d; });
        // Nothing scripted at all.
        QCOMPARE(p.message("何か", Prompter::Buttons::YesNo, Prompter::Icon::Question, "Kestrel"),
                 Prompter::Answer::Cancel);
        // An answer for another kind of dialog is not used for this one.
        p.answerMessage(Prompter::Answer::Ok);
        QCOMPARE(p.input("名前", "Kestrel", ""), std::nullopt);
        QCOMPARE(p.pendingAnswers(), 1);
        // The message answer is still there for the next message box.
        QCOMPARE(p.message("次", Prompter::Buttons::Ok, Prompter::Icon::Exclamation, "Kestrel"),
                 Prompter::Answer::Ok);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(p.failures(), seen);
        QCOMPARE(p.questions().size(), 3);

        ScriptedPrompter strict;
        QStringList strictSeen;
        strict.setFailureHandler([&](const QString& d) { strictSeen << d; });
        strict.answerMessage(Prompter::Answer::Ok, "正しい");
        QCOMPARE(strict.message("違う", Prompter::Buttons::Ok, Prompter::Icon::Exclamation, "Kestrel"),
                 Prompter::Answer::Cancel);
        QCOMPARE(strictSeen.size(), 1);
        QVERIFY(strictSeen.first().contains("正しい"));
    }
};

QTEST_GUILESS_MAIN(tst_ScriptedPrompter)
#include "tst_ScriptedPrompter.moc"
