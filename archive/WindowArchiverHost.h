#pragma once

#include "archive/ArchiveUi.h"

#include "archivers/common/HostBase.h"

#include <QString>
#include <memory>

class CloseGuard;
class Progress;

// The KestrelHost a window passes to a library as its window handle: questions
// go through the window's Prompter (input box, a hidden input box for
// passwords, はい / すべてはい / いいえ / ｷｬﾝｾﾙ, the open dialog), progress into one
// progress window for the whole command (caption given by the command). Lives
// for one library call.
//
// While it lives no other window may take input and the calling window cannot
// be closed: the progress window is application-modal, and closing the calling
// window is refused until the call has returned (the library still holds
// files open and may ask through the window's Prompter).
class WindowArchiverHost : public kestrel::arc::HostBase {
public:
    WindowArchiverHost(ArchiveUi& ui, QString caption);
    ~WindowArchiverHost() override;

    // Closes the progress window, if the library ever reported.
    void finish();

protected:
    std::optional<std::string> askText(const std::string& prompt, const std::string& defaultText,
                                       bool secret) override;
    int askYesNo(const std::string& question) override;
    std::optional<std::string> askFile(const std::string& prompt, const std::string& wantedName) override;
    bool progress(const std::string& name, uint64_t done, uint64_t total) override;

private:
    ArchiveUi& ui_;
    QString caption_;
    std::unique_ptr<Progress> progress_;
    uint64_t total_ = 0;
    std::unique_ptr<CloseGuard> closeGuard_;
};
