#pragma once

#include <QApplication>

class Prompter;

// The application object. A failure that escapes an event handler is shown
// in a message box with its description, titled with the application title,
// and then the program ends, instead of going on in an unknown state.
// (The toolbar dispatch and the layout catch their own failures first.)
class KestrelApplication : public QApplication {
    Q_OBJECT
public:
    KestrelApplication(int& argc, char** argv);

    // Where the failure message goes; without one nothing is shown.
    void setPrompter(Prompter* prompter) { prompter_ = prompter; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void endAfterFailure(const QString& description);

    Prompter* prompter_ = nullptr;
    bool ending_ = false;
};
