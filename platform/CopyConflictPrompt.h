#pragma once

#include "platform/Prompter.h"

#include <QString>

// The questions a copy or move asks when the destination already holds an
// entry of the same name. Every answer is one of three: replace (or merge, for
// two folders), skip this entry, or stop the whole operation.
class CopyConflictPrompt {
public:
    enum class Choice { Replace, Skip, Stop };

    CopyConflictPrompt(Prompter& prompter, QString title);

    // The question that fits the two kinds: merge for two folders, the
    // mismatch for a folder and a file, replace otherwise.
    Choice ask(const QString& name, bool sourceIsFolder, bool existingIsFolder);

    // A file (or link, or special file) over one that is not a folder.
    Choice askReplace(const QString& name);
    // A folder onto a folder: Replace means merge the contents, asking again
    // for each file of the same name inside.
    Choice askMerge(const QString& name);
    // A folder and a file of the same name: one never replaces the other, so
    // the only choices are Skip and Stop.
    Choice askKindMismatch(const QString& name, bool existingIsFolder);

    // Whether an answer to one of the questions stopped the operation.
    bool stopped() const { return stopped_; }
    void forgetStop() { stopped_ = false; }

    static QString replaceText(const QString& name);
    static QString mergeText(const QString& name);
    static QString kindMismatchText(const QString& name, bool existingIsFolder);

private:
    Choice fromYesNoCancel(Prompter::Answer answer);

    Prompter& prompter_;
    QString title_;
    bool stopped_ = false;
};
