/* The C interface shared by libunlha32, libunzip32 and libcab32.
 *
 * Each library exports, with C linkage:
 *   int   <Lib>(void* window, const char* commandLine, char* output, unsigned long outputSize);
 *   void* <Lib>OpenArchive(void* window, const char* archivePath, unsigned long mode);
 *   int   <Lib>FindFirst(void* archive, const char* wildName, EntryInfo* entry);
 *   int   <Lib>FindNext(void* archive, EntryInfo* entry);
 *   int   <Lib>CloseArchive(void* archive);
 * with <Lib> one of Unlha, UnZip, Cab.
 *
 * The window argument is a KestrelHost* (below) or null. Through it a library asks the
 * user; with null it asks nothing and takes the safe answer (keep existing files, skip
 * what needs a password, report a missing volume).
 *
 * All text is UTF-8. The libraries never link Qt.
 */
#ifndef KESTREL_ARCHIVER_API_H
#define KESTREL_ARCHIVER_API_H

#include <stddef.h>
#include <stdint.h>

#include "EntryInfo.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Results of the command entries. 0 is success; a warning result means the command ran
 * to its end but left something out (and the output buffer says what). */
enum KestrelResult {
    KA_OK = 0,
    KA_WARN_SKIPPED = 0x1001,      /* some entries were skipped: unsafe name, existing file kept,
                                      no password, ... */
    KA_ERR_USAGE = 0x8001,         /* the command line cannot be understood */
    KA_ERR_NOT_ARCHIVE = 0x8002,   /* not an archive of this kind, or damaged beyond reading */
    KA_ERR_DAMAGED = 0x8003,       /* an entry's data is damaged (CRC or checksum error, truncation) */
    KA_ERR_OPEN = 0x8004,          /* a file cannot be opened or read */
    KA_ERR_WRITE = 0x8005,         /* a file cannot be written (disk full, no permission) */
    KA_ERR_NO_MATCH = 0x8006,      /* no entry or file matched the names given */
    KA_ERR_CANCELLED = 0x8007,     /* the user cancelled */
    KA_ERR_MISSING_VOLUME = 0x8008,/* a cabinet of a set could not be found */
    KA_ERR_MEMORY = 0x8009,        /* out of memory */
    KA_ERR_UNSUPPORTED = 0x800A    /* a method or feature this library does not handle */
};

/* Answers of KestrelHost.askYesNo. */
enum KestrelAnswer {
    KH_YES = 1,
    KH_NO = 2,
    KH_YES_TO_ALL = 3,
    KH_CANCEL = 4
};

/* What the calling window offers a library. Every member may be null; a null function
 * behaves as if the user gave the safe answer (cancel, no, go on). */
typedef struct KestrelHost {
    uint32_t structSize;  /* sizeof(KestrelHost), so the struct can grow */
    void* context;        /* passed back to every callback */

    /* Asks for one line of text (a new entry name, a password when `secret`). Returns 1
     * with the NUL-terminated answer in `answer`, 0 when cancelled. */
    int (*askText)(void* context, const char* prompt, const char* defaultText, int secret,
                   char* answer, size_t answerSize);

    /* Asks a yes / no / yes-to-all / cancel question; returns a KestrelAnswer. */
    int (*askYesNo)(void* context, const char* question);

    /* Asks for a file that is missing (the next cabinet of a set): `wantedName` is the
     * bare file name looked for. Returns 1 with the chosen path in `path`, 0 when cancelled. */
    int (*askFile)(void* context, const char* prompt, const char* wantedName, char* path,
                   size_t pathSize);

    /* Reports progress on `name`: `done` of `total` bytes. Returns non-zero to cancel.
     *
     * Progress is for the whole command: `total` is the size of everything one call
     * works on (all entries it extracts, all files it packs, all entries it copies
     * into a rewritten archive), fixed for the call, and `done` counts across all of
     * them. Within one call `done` never decreases and never passes `total`, so the
     * caller's bar never runs backwards. Every command that reads or writes entry
     * data reports, whatever its options (-m0 quiets report lines, never progress),
     * and reports at least every 64 KiB of data, a few times a second at the slowest
     * method. A call may end without a final report of done == total. */
    int (*progress)(void* context, const char* name, uint64_t done, uint64_t total);
} KestrelHost;

#ifdef __cplusplus
}
#endif

#endif
