#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

// The Prompter of the window tests. Answers come from a queue filled by the
// test in the order the questions are expected; every question is recorded
// with its exact text, buttons, icon and title. A question nobody scripted
// (queue empty, or the next answer is for another kind of dialog) or one whose
// text differs from the text the script expects fails the running QtTest
// function and is answered with Cancel, so the code under test cannot run on
// with an invented answer.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind { Message, Input, OpenFile, PickFolder, SaveFile };

    struct Question {
        Kind kind = Kind::Message;
        QString text;          // message text, input prompt, picker prompt
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString title;
        QString defaultText;   // input box default text
        bool secret = false;   // an input box that hides what is typed
        QString directory;     // file dialogs; the folder picker's starting folder
        QString filter;        // file dialogs
    };

    using FailureHandler = std::function<void(const QString& description)>;

    ScriptedPrompter();

    // Script the next answer. A non-empty `expectedText` must equal the
    // question's text (the prompt for dialogs) exactly.
    void answerMessage(Answer answer, const QString& expectedText = {});
    void answerInput(std::optional<QString> answer, const QString& expectedText = {});
    void answerOpenFile(std::optional<QString> answer, const QString& expectedTitle = {});
    void answerPickFolder(std::optional<QString> answer, const QString& expectedText = {});
    void answerSaveFile(std::optional<QString> answer, const QString& expectedTitle = {});

    const QList<Question>& questions() const { return questions_; }
    // Scripted answers that no question has taken yet.
    int pendingAnswers() const { return static_cast<int>(script_.size()); }
    // What went wrong, one line per unexpected or mismatching question.
    const QStringList& failures() const { return failures_; }

    // The default handler fails the running QtTest function.
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

    Answer message(const QString& text, Buttons buttons, Icon icon,
                   const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    // Answered from the same answerInput() queue as input(); the question is
    // recorded with `secret` set.
    std::optional<QString> inputSecret(const QString& prompt, const QString& title) override;
    std::optional<QString> openFile(const QString& title, const QString& directory,
                                    const QString& filter) override;
    std::optional<QString> pickFolder(const QString& prompt, const QString& startFolder = QString()) override;
    std::optional<QString> saveFile(const QString& title, const QString& directory,
                                    const QString& filter, const QString& defaultSuffix) override;

private:
    struct Scripted {
        Kind kind;
        Answer answer = Answer::Cancel;
        std::optional<QString> text;
        QString expected;
    };

    // Records the question and takes the next scripted answer for it, or
    // nothing when the question was not expected.
    std::optional<Scripted> take(const Question& question, const QString& checkedText);
    void fail(const QString& description);

    std::deque<Scripted> script_;
    QList<Question> questions_;
    QStringList failures_;
    FailureHandler onFailure_;
};
