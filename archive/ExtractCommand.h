#pragma once

#include <QString>
#include <functional>
#include <optional>

class Archiver;
class CommandHost;
class frmExtract;
struct ArchiveState;

// Extract (mnuFileExtract): takes the one file selected in the list as the
// archive, offers a multi-volume CAB set a direct extraction into a chosen
// folder, and otherwise opens the archive viewer on it; when the viewer has
// closed, the window is refreshed.
class ExtractCommand {
public:
    ExtractCommand(CommandHost& host, Archiver& archiver, ArchiveState& state);

    void run();
    // The command from its second step on, for `archive` chosen some other way
    // (the program's argument): the multi-volume offer, the viewer, the refresh.
    void open(const QString& archive);

    // Shows the viewer and returns when it has closed; modal by default. Tests
    // replace it to look at the viewer and close it themselves.
    std::function<void(frmExtract&)> showViewer;

    // A CAB archive whose name ends in a digit before the extension may be the
    // first part of a multi-volume set.
    static bool mayBeMultiVolume(const QString& path);

private:
    bool collect();
    // True when the command ends here (the set was extracted, or the user
    // cancelled); false to go on to the viewer.
    bool offerMultiVolume();
    void extractSet(const QString& destination);
    void tell(const QString& text);
    bool ask(const QString& question);

    CommandHost& host_;
    Archiver& archiver_;
    ArchiveState& state_;
};
