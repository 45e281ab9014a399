#include "archive/LibraryArchiver.h"

#include "archive/WindowArchiverHost.h"

#include "archivers/common/ArchiverLibrary.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr qint64 kSmallestBuffer = 4 * 1024;
constexpr qint64 kLargestBuffer = 1024 * 1024;

std::string libraryKind(ArchiverKind kind)
{
    switch (kind) {
    case ArchiverKind::Unlha: return "unlha";
    case ArchiverKind::UnZip: return "unzip";
    case ArchiverKind::Cab: return "cab";
    }
    return {};
}

} // namespace

LibraryArchiver::LibraryArchiver() : folders_(kestrel::arc::ArchiverLibrary::searchFolders()) {}

LibraryArchiver::LibraryArchiver(std::vector<std::string> folders) : folders_(std::move(folders)) {}

LibraryArchiver::~LibraryArchiver() = default;

qint64 LibraryArchiver::bufferSizeFor(qint64 requested)
{
    return std::clamp(requested, kSmallestBuffer, kLargestBuffer);
}

kestrel::arc::ArchiverLibrary* LibraryArchiver::library(ArchiverKind kind, ArchiverOutcome& outcome)
{
    auto& slot = libraries_[kind];
    if (!slot)
        slot = std::make_unique<kestrel::arc::ArchiverLibrary>(libraryKind(kind), folders_);
    if (slot->load())
        return slot.get();
    outcome.loaded = false;
    outcome.loadError = QString::fromStdString(slot->error());
    return nullptr;
}

ArchiverOutcome LibraryArchiver::run(const ArchiverCall& call, ArchiveUi& ui)
{
    ArchiverOutcome outcome;
    auto* lib = library(call.kind, outcome);
    if (lib == nullptr)
        return outcome;
    std::vector<char> buffer(static_cast<size_t>(bufferSizeFor(call.bufferSize)), '\0');
    WindowArchiverHost host(ui, call.caption);
    const QByteArray line = call.commandLine.toUtf8();
    outcome.result = lib->command(host.host(), line.constData(), buffer.data(),
                                  static_cast<unsigned long>(buffer.size()));
    host.finish();
    buffer.back() = '\0';
    outcome.report = QString::fromUtf8(buffer.data());
    return outcome;
}

bool LibraryArchiver::list(ArchiverKind kind, const QString& archivePath, ArchiveUi& ui,
                           const std::function<void(const EntryInfo&)>& onEntry, ArchiverOutcome* outcome)
{
    ArchiverOutcome local;
    ArchiverOutcome& out = outcome ? *outcome : local;
    auto* lib = library(kind, out);
    if (lib == nullptr)
        return false;
    WindowArchiverHost host(ui, QString());
    const QByteArray path = archivePath.toUtf8();
    void* handle = lib->openArchive(host.host(), path.constData(), 0);
    if (handle == nullptr)
        return false;
    EntryInfo entry;
    std::memset(&entry, 0, sizeof entry);
    bool any = false;
    for (int found = lib->findFirst(handle, "*.*", &entry); found == 0; found = lib->findNext(handle, &entry)) {
        any = true;
        onEntry(entry);
    }
    lib->closeArchive(handle);
    return any;
}
