#pragma once

#include <QString>
#include <optional>

class QWidget;

// Every question the program asks the user goes through a Prompter: message
// boxes, input boxes, file dialogs and folder pickers. The real one shows Qt
// dialogs (QtPrompter); tests use ScriptedPrompter, which answers from a queue
// and records each question with its exact text, buttons and icon.
class Prompter {
public:
    // The buttons of a message box, as Windows names their sets. YesNoDefaultNo
    // is Yes and No with No as the default button, for questions where Enter
    // should not carry on with something risky. YesYesToAllNoCancel is the set of
    // the archiver libraries' questions: はい / すべてはい / いいえ / ｷｬﾝｾﾙ.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo, YesNoCancel, RetryCancel, AbortRetryIgnore,
                         YesYesToAllNoCancel };
    enum class Icon { None, Information, Exclamation, Question, Stop };
    // The button the user pressed (Cancel also when the box was closed).
    enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore, YesToAll };

    virtual ~Prompter() = default;

    // A message box titled `title` (the application title unless a caller says otherwise).
    virtual Answer message(const QString& text, Buttons buttons, Icon icon,
                           const QString& title) = 0;

    // An input box; nothing when cancelled, the typed text (possibly empty) otherwise.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;

    // An input box whose text is not shown as typed (a password); nothing when
    // cancelled. Callers that never ask for a secret need not care, so the default
    // answer is "cancelled".
    virtual std::optional<QString> inputSecret(const QString& prompt, const QString& title)
    {
        Q_UNUSED(prompt) Q_UNUSED(title)
        return std::nullopt;
    }

    // A file-open dialog; nothing when cancelled. `filter` is a Qt name filter.
    virtual std::optional<QString> openFile(const QString& title, const QString& directory,
                                            const QString& filter) = 0;

    // The folder picker, opened at `startFolder` (the user's current folder;
    // empty: wherever the desktop opens it): the chosen folder's path (no
    // trailing "/" added), nothing when cancelled.
    virtual std::optional<QString> pickFolder(const QString& prompt,
                                              const QString& startFolder = QString()) = 0;

    // A save-as dialog; nothing when cancelled. `defaultSuffix` (without the dot) is
    // appended to a typed name that has none. An existing file is answered without a
    // question: the caller asks its own. Callers that never save need not care,
    // so the default answer is "cancelled".
    virtual std::optional<QString> saveFile(const QString& title, const QString& directory,
                                            const QString& filter, const QString& defaultSuffix)
    {
        Q_UNUSED(title) Q_UNUSED(directory) Q_UNUSED(filter) Q_UNUSED(defaultSuffix)
        return std::nullopt;
    }

    // The window that dialogs are centred on; may be null.
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

private:
    QWidget* owner_ = nullptr;
};
