// The C entry points of libunzip32.so.
#include "ArchiverApi.h"
#include "ListingHandles.h"
#include "ZipCommand.h"
#include "ZipListing.h"

namespace {

kestrel::arc::ListingHandles<kestrel::zip::ZipListing> handles;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int UnZip(void* window, const char* commandLine,
                                                 char* output, unsigned long outputSize) {
    return kestrel::zip::ZipCommand::run(window, commandLine, output, outputSize);
}

__attribute__((visibility("default"))) void* UnZipOpenArchive(void*, const char* archivePath,
                                                              unsigned long) {
    return handles.open(archivePath);
}

__attribute__((visibility("default"))) int UnZipFindFirst(void* archive, const char* wildName,
                                                          EntryInfo* entry) {
    return handles.findFirst(archive, wildName, entry);
}

__attribute__((visibility("default"))) int UnZipFindNext(void* archive, EntryInfo* entry) {
    return handles.findNext(archive, entry);
}

__attribute__((visibility("default"))) int UnZipCloseArchive(void* archive) {
    return handles.close(archive);
}

}  // extern "C"
