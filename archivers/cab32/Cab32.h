/* The C entry points of libcab32.so (see ArchiverApi.h for their contract). */
#ifndef KESTREL_CAB32_H
#define KESTREL_CAB32_H

#include "ArchiverApi.h"

#ifdef __cplusplus
extern "C" {
#endif

int Cab(void* window, const char* commandLine, char* output, unsigned long outputSize);
void* CabOpenArchive(void* window, const char* archivePath, unsigned long mode);
int CabFindFirst(void* archive, const char* wildName, EntryInfo* entry);
int CabFindNext(void* archive, EntryInfo* entry);
int CabCloseArchive(void* archive);

#ifdef __cplusplus
}
#endif

#endif
