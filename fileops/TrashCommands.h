#pragma once

#include "platform/TrashService.h"

#include <QString>
#include <QStringList>

class CommandHost;

// "ごみ箱に移動" and "ごみ箱を空にする" of the main window.
//
// Delete collects the selection into PathList as Copy and Cut do, asks once
// for the whole selection, then moves each entry to the trash in list order.
// What no trash can take is deleted for good only after its own question.
// The first entry that fails ends the command with "処理が失敗しました。" and
// without a refresh, so the window shows where the work stopped.
class TrashCommands {
public:
    explicit TrashCommands(CommandHost& host);

    void mnuFileDelete_Click();
    void mnuFileVacume_Click();

    // The trash it works on (tests point it at temporary folders).
    TrashService& service() { return service_; }

private:
    enum class Step { Done, Skipped, Cancelled, Failed };

    bool confirmDelete(const QStringList& paths);
    Step deleteOne(const QString& path);
    Step deleteForGood(const QString& path);
    void reportEmptyFailures(const QStringList& failures);

    CommandHost& host_;
    TrashService service_;
};
