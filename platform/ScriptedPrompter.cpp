#include "platform/ScriptedPrompter.h"

// Only the QtTest suites link the object file of this class, and they link QtTest.
#include <QtTest/qtestcase.h>

namespace {

const char* kindName(ScriptedPrompter::Kind kind)
{
    switch (kind) {
    case ScriptedPrompter::Kind::Message: return "message box";
    case ScriptedPrompter::Kind::Input: return "input box";
    case ScriptedPrompter::Kind::OpenFile: return "open-file dialog";
    case ScriptedPrompter::Kind::PickFolder: return "folder picker";
    case ScriptedPrompter::Kind::SaveFile: return "save dialog";
    }
    return "dialog";
}

} // namespace

ScriptedPrompter::ScriptedPrompter()
    : onFailure_([](const QString& description) {
          QTest::qFail(description.toUtf8().constData(), __FILE__, __LINE__);
      })
{
}

void ScriptedPrompter::answerMessage(Answer answer, const QString& expectedText)
{
    script_.push_back({Kind::Message, answer, std::nullopt, expectedText});
}

void ScriptedPrompter::answerInput(std::optional<QString> answer, const QString& expectedText)
{
    script_.push_back({Kind::Input, Answer::Ok, std::move(answer), expectedText});
}

void ScriptedPrompter::answerOpenFile(std::optional<QString> answer, const QString& expectedTitle)
{
    script_.push_back({Kind::OpenFile, Answer::Ok, std::move(answer), expectedTitle});
}

void ScriptedPrompter::answerPickFolder(std::optional<QString> answer, const QString& expectedText)
{
    script_.push_back({Kind::PickFolder, Answer::Ok, std::move(answer), expectedText});
}

void ScriptedPrompter::answerSaveFile(std::optional<QString> answer, const QString& expectedTitle)
{
    script_.push_back({Kind::SaveFile, Answer::Ok, std::move(answer), expectedTitle});
}

void ScriptedPrompter::fail(const QString& description)
{
    failures_.append(description);
    if (onFailure_)
        onFailure_(description);
}

std::optional<ScriptedPrompter::Scripted> ScriptedPrompter::take(const Question& question,
                                                                 const QString& checkedText)
{
    questions_.append(question);
    if (script_.empty()) {
        fail(QStringLiteral("unexpected %1: \"%2\"").arg(QLatin1String(kindName(question.kind)),
                                                          checkedText));
        return std::nullopt;
    }
    if (script_.front().kind != question.kind) {
        fail(QStringLiteral("expected a %1 but got a %2: \"%3\"")
                 .arg(QLatin1String(kindName(script_.front().kind)),
                      QLatin1String(kindName(question.kind)), checkedText));
        return std::nullopt;
    }
    Scripted next = script_.front();
    script_.pop_front();
    if (!next.expected.isEmpty() && next.expected != checkedText) {
        fail(QStringLiteral("%1 text \"%2\" differs from the expected \"%3\"")
                 .arg(QLatin1String(kindName(question.kind)), checkedText, next.expected));
        return std::nullopt;
    }
    return next;
}

Prompter::Answer ScriptedPrompter::message(const QString& text, Buttons buttons, Icon icon,
                                           const QString& title)
{
    Question q;
    q.kind = Kind::Message;
    q.text = text;
    q.buttons = buttons;
    q.icon = icon;
    q.title = title;
    const auto next = take(q, text);
    return next ? next->answer : Answer::Cancel;
}

std::optional<QString> ScriptedPrompter::input(const QString& prompt, const QString& title,
                                               const QString& defaultText)
{
    Question q;
    q.kind = Kind::Input;
    q.text = prompt;
    q.title = title;
    q.defaultText = defaultText;
    const auto next = take(q, prompt);
    return next ? next->text : std::nullopt;
}

std::optional<QString> ScriptedPrompter::inputSecret(const QString& prompt, const QString& title)
{
    Question q;
    q.kind = Kind::Input;
    q.text = prompt;
    q.title = title;
    q.secret = true;
    const auto next = take(q, prompt);
    return next ? next->text : std::nullopt;
}

std::optional<QString> ScriptedPrompter::openFile(const QString& title, const QString& directory,
                                                  const QString& filter)
{
    Question q;
    q.kind = Kind::OpenFile;
    q.title = title;
    q.directory = directory;
    q.filter = filter;
    const auto next = take(q, title);
    return next ? next->text : std::nullopt;
}

std::optional<QString> ScriptedPrompter::pickFolder(const QString& prompt, const QString& startFolder)
{
    Question q;
    q.kind = Kind::PickFolder;
    q.text = prompt;
    q.directory = startFolder;
    const auto next = take(q, prompt);
    return next ? next->text : std::nullopt;
}

std::optional<QString> ScriptedPrompter::saveFile(const QString& title, const QString& directory,
                                                  const QString& filter,
                                                  const QString& defaultSuffix)
{
    Question q;
    q.kind = Kind::SaveFile;
    q.title = title;
    q.directory = directory;
    q.filter = filter;
    q.defaultText = defaultSuffix;
    const auto next = take(q, title);
    return next ? next->text : std::nullopt;
}
