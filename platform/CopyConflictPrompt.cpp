#include "platform/CopyConflictPrompt.h"

CopyConflictPrompt::CopyConflictPrompt(Prompter& prompter, QString title)
    : prompter_(prompter), title_(std::move(title))
{
}

QString CopyConflictPrompt::replaceText(const QString& name)
{
    return QStringLiteral("「%1」はすでにあります。置き換えますか?\n\n"
                          "はい: 置き換えます\nいいえ: この項目をスキップします\nｷｬﾝｾﾙ: 処理を中止します")
        .arg(name);
}

QString CopyConflictPrompt::mergeText(const QString& name)
{
    return QStringLiteral("ﾌｫﾙﾀﾞ「%1」はすでにあります。中身をまとめますか?\n"
                          "同じ名前のﾌｧｲﾙは1つずつ確認します。\n\n"
                          "はい: まとめます\nいいえ: このﾌｫﾙﾀﾞをスキップします\nｷｬﾝｾﾙ: 処理を中止します")
        .arg(name);
}

QString CopyConflictPrompt::kindMismatchText(const QString& name, bool existingIsFolder)
{
    const QString existing = existingIsFolder ? QStringLiteral("ﾌｫﾙﾀﾞ") : QStringLiteral("ﾌｧｲﾙ");
    return QStringLiteral("「%1」と同じ名前の%2がすでにあるため、置き換えられません。\n\n"
                          "OK: この項目をスキップします\nｷｬﾝｾﾙ: 処理を中止します")
        .arg(name, existing);
}

CopyConflictPrompt::Choice CopyConflictPrompt::ask(const QString& name, bool sourceIsFolder,
                                                    bool existingIsFolder)
{
    if (sourceIsFolder && existingIsFolder)
        return askMerge(name);
    if (sourceIsFolder != existingIsFolder)
        return askKindMismatch(name, existingIsFolder);
    return askReplace(name);
}

CopyConflictPrompt::Choice CopyConflictPrompt::askReplace(const QString& name)
{
    return fromYesNoCancel(prompter_.message(
        replaceText(name), Prompter::Buttons::YesNoCancel, Prompter::Icon::Question, title_));
}

CopyConflictPrompt::Choice CopyConflictPrompt::askMerge(const QString& name)
{
    return fromYesNoCancel(prompter_.message(
        mergeText(name), Prompter::Buttons::YesNoCancel, Prompter::Icon::Question, title_));
}

CopyConflictPrompt::Choice CopyConflictPrompt::askKindMismatch(const QString& name, bool existingIsFolder)
{
    const Prompter::Answer answer = prompter_.message(kindMismatchText(name, existingIsFolder),
                                                      Prompter::Buttons::OkCancel,
                                                      Prompter::Icon::Exclamation, title_);
    if (answer == Prompter::Answer::Ok)
        return Choice::Skip;
    stopped_ = true;
    return Choice::Stop;
}

CopyConflictPrompt::Choice CopyConflictPrompt::fromYesNoCancel(Prompter::Answer answer)
{
    switch (answer) {
    case Prompter::Answer::Yes:
        return Choice::Replace;
    case Prompter::Answer::No:
        return Choice::Skip;
    default:
        // Cancel, and a box closed without an answer, stop everything.
        stopped_ = true;
        return Choice::Stop;
    }
}
