#include "platform/QtPrompter.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::StandardButtons standardButtons(Prompter::Buttons buttons)
{
    switch (buttons) {
    case Prompter::Buttons::Ok: return QMessageBox::Ok;
    case Prompter::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::YesNo:
    case Prompter::Buttons::YesNoDefaultNo: return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Prompter::Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case Prompter::Buttons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case Prompter::Buttons::YesYesToAllNoCancel:
        return QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::None: return QMessageBox::NoIcon;
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Exclamation: return QMessageBox::Warning;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::Stop: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// A box closed by its frame or Escape counts as Cancel when it has a Cancel
// button; otherwise as the button that ends the box harmlessly.
Prompter::Answer answerFor(int pressed, Prompter::Buttons buttons)
{
    switch (pressed) {
    case QMessageBox::Ok: return Prompter::Answer::Ok;
    case QMessageBox::Cancel: return Prompter::Answer::Cancel;
    case QMessageBox::Yes: return Prompter::Answer::Yes;
    case QMessageBox::No: return Prompter::Answer::No;
    case QMessageBox::Retry: return Prompter::Answer::Retry;
    case QMessageBox::Abort: return Prompter::Answer::Abort;
    case QMessageBox::Ignore: return Prompter::Answer::Ignore;
    case QMessageBox::YesToAll: return Prompter::Answer::YesToAll;
    default: break;
    }
    switch (buttons) {
    case Prompter::Buttons::Ok: return Prompter::Answer::Ok;
    case Prompter::Buttons::YesNo:
    case Prompter::Buttons::YesNoDefaultNo: return Prompter::Answer::No;
    case Prompter::Buttons::AbortRetryIgnore: return Prompter::Answer::Abort;
    default: return Prompter::Answer::Cancel;
    }
}

// The archiver's question shows its own captions, whatever the desktop's language.
void setArchiverCaptions(QMessageBox& box)
{
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::YesToAll)->setText(QStringLiteral("すべてはい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
}

} // namespace

Prompter::Answer QtPrompter::message(const QString& text, Buttons buttons, Icon icon,
                                     const QString& title)
{
    QMessageBox box(messageIcon(icon), title, text, standardButtons(buttons), owner());
    // Texts carry file names, which may look like markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == Buttons::YesNoCancel || buttons == Buttons::OkCancel
        || buttons == Buttons::RetryCancel || buttons == Buttons::YesYesToAllNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    if (buttons == Buttons::YesYesToAllNoCancel)
        setArchiverCaptions(box);
    if (buttons == Buttons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    return answerFor(box.exec(), buttons);
}

std::optional<QString> QtPrompter::input(const QString& prompt, const QString& title,
                                         const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtPrompter::inputSecret(const QString& prompt, const QString& title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, prompt, QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtPrompter::openFile(const QString& title, const QString& directory,
                                            const QString& filter)
{
    const QString file = QFileDialog::getOpenFileName(owner(), title, directory, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> QtPrompter::pickFolder(const QString& prompt, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(owner(), prompt, startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QString> QtPrompter::saveFile(const QString& title, const QString& directory,
                                            const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(owner(), title, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // Callers ask about an existing file themselves, in their own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
