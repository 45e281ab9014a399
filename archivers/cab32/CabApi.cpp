// The C entry points of libcab32.so.
#include "Cab32.h"
#include "CabCommand.h"
#include "CabListing.h"
#include "ListingHandles.h"

namespace {

kestrel::arc::ListingHandles<kestrel::arc::cab::CabListing> handles;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int Cab(void* window, const char* commandLine, char* output,
                                               unsigned long outputSize) {
    return kestrel::arc::cab::CabCommand::run(window, commandLine, output, outputSize);
}

__attribute__((visibility("default"))) void* CabOpenArchive(void*, const char* archivePath, unsigned long) {
    return handles.open(archivePath);
}

__attribute__((visibility("default"))) int CabFindFirst(void* archive, const char* wildName, EntryInfo* entry) {
    return handles.findFirst(archive, wildName, entry);
}

__attribute__((visibility("default"))) int CabFindNext(void* archive, EntryInfo* entry) {
    return handles.findNext(archive, entry);
}

__attribute__((visibility("default"))) int CabCloseArchive(void* archive) {
    return handles.close(archive);
}

}  // extern "C"
