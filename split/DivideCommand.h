#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

class CommandHost;
class frmDivideDialog;

// Divide (mnuFileDivide): cuts the one selected file into parts of a media size chosen in
// frmDivideDialog, written into the current folder as stem_ext_PPP.001 …, then refreshes.
class DivideCommand {
public:
    explicit DivideCommand(CommandHost& host);

    void run();

    // Shows the dialog and returns when it has closed; modal by default. Tests replace it to
    // press the dialog's buttons themselves.
    std::function<void(frmDivideDialog&)> showDialog;

    // Bytes per part of the dialog's entries (KiB × 1024); nothing for any other choice.
    static std::optional<qint64> partSize(int choice);

private:
    struct Selected {
        QString name;
        QString path;
    };
    std::optional<Selected> collect();
    std::optional<qint64> askPartSize();
    void divide(const Selected& file, qint64 length, qint64 partSize);
    void tell(const QString& text);
    void say(const QString& text);

    CommandHost& host_;
};
