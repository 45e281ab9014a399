#pragma once

#include <QString>
#include <QStringList>

// One face for every label, menu and dialog. When the desktop's interface
// font cannot write Japanese, Qt fills each missing character from whatever
// font has it, so kana, half-width katakana and digits come in different
// faces within one line; a Japanese-capable face chosen up front avoids that.
class InterfaceFont {
public:
    // Makes the application font Japanese-capable, keeping its size.
    static void apply();

    // The family to use: `current` when it writes Japanese, else the first
    // preferred face installed, else the first Japanese-capable one; empty
    // when there is none (then nothing changes).
    static QString choose(const QString& current, const QStringList& japaneseFamilies);
};
