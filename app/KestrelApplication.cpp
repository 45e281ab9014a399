#include "app/KestrelApplication.h"

#include "app/Module1.h"
#include "platform/Prompter.h"

#include <exception>

KestrelApplication::KestrelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KestrelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        endAfterFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        endAfterFailure(QStringLiteral("予期しないｴﾗｰが発生しました｡"));
    }
    return false;
}

void KestrelApplication::endAfterFailure(const QString& description)
{
    // One report is enough: events delivered while the box is up may fail too.
    if (ending_)
        return;
    ending_ = true;
    if (prompter_)
        prompter_->message(description, Prompter::Buttons::Ok, Prompter::Icon::Stop, Module1::AppTitle);
    exit(1);
}
