#pragma once

#include <QStringList>

class Prompter;
class QWidget;

// The Help menu's two commands on the help page: its contents and its keyword
// search. The page is the one that stands for the application's help file
// (the application property "HelpFile", "Kestrel.hlp"), shown in the one help
// window.
class HelpCommands {
public:
    // The command numbers the menu passes.
    static constexpr int HELP_CONTENTS = 3;
    static constexpr int HELP_PARTIALKEY = 261;

    // Opens the help window at the contents (HELP_CONTENTS) or at the keyword
    // search (HELP_PARTIALKEY). A page that is missing or cannot be read is
    // reported in a message box. False when the window was not shown.
    static bool show(QWidget* owner, Prompter& prompter, int command);

    // The folders searched for the page; tests point them at their own.
    // An empty list restores the installed program's folders.
    static void setFolders(QStringList folders);

    // The help file name the application has set, "Kestrel.hlp" when none.
    static QString helpFile();
};
