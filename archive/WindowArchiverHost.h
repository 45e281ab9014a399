#pragma once

#include "archive/ArchiveUi.h"

#include "archivers/common/ArchiverApi.h"

#include <QString>
#include <memory>

class Progress;

// The KestrelHost a window passes to a library as its window handle: questions
// go through the window's Prompter, progress into one progress window for the
// whole command (caption given by the command). Lives for one library call.
class WindowArchiverHost {
public:
    WindowArchiverHost(ArchiveUi& ui, QString caption);
    ~WindowArchiverHost();
    WindowArchiverHost(const WindowArchiverHost&) = delete;
    WindowArchiverHost& operator=(const WindowArchiverHost&) = delete;

    // The struct to pass as the window handle; valid as long as this object lives.
    KestrelHost* host() { return &host_; }

    // Closes the progress window, if the library ever reported.
    void finish();

private:
    static int askText(void* context, const char* prompt, const char* defaultText, int secret,
                       char* answer, size_t answerSize);
    static int askYesNo(void* context, const char* question);
    static int askFile(void* context, const char* prompt, const char* wantedName, char* path,
                       size_t pathSize);
    static int progress(void* context, const char* name, uint64_t done, uint64_t total);

    ArchiveUi& ui_;
    QString caption_;
    KestrelHost host_;
    std::unique_ptr<Progress> progress_;
    uint64_t total_ = 0;
};
