#pragma once

#include <QString>
#include <functional>
#include <memory>

class Progress;
class Prompter;
class QWidget;

// What a library call needs of the window that makes it: the Prompter its
// questions go through (the viewer's for the viewer's commands, the main
// window's otherwise), the window that owns its dialogs, and the progress
// reporter of the command. The window's KestrelHost is built from this.
struct ArchiveUi {
    Prompter& prompter;
    QWidget* owner = nullptr;
    std::function<std::unique_ptr<Progress>()> makeProgress;
};
