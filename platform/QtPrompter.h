#pragma once

#include "platform/Prompter.h"

// The Prompter that users meet: every question becomes a modal Qt dialog,
// centred on the owner window when one is set.
class QtPrompter : public Prompter {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon,
                   const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    std::optional<QString> inputSecret(const QString& prompt, const QString& title) override;
    std::optional<QString> openFile(const QString& title, const QString& directory,
                                    const QString& filter) override;
    std::optional<QString> pickFolder(const QString& prompt, const QString& startFolder = QString()) override;
    std::optional<QString> saveFile(const QString& title, const QString& directory,
                                    const QString& filter, const QString& defaultSuffix) override;
};
