/* The trailer at the end of a self-extracting program: the stub executable, then
 * the archive (the payload), then these 32 bytes, little-endian:
 *   0  8  magic "KesSfx\1\0"
 *   8  4  payload kind (KESTREL_SFX_LZH, KESTREL_SFX_CAB)
 *  12  4  flags (KESTREL_SFX_*)
 *  16  8  payload offset from the start of the file
 *  24  8  payload length
 * The payload ends where the trailer starts. Plain C so that any library can use it. */
#ifndef KESTREL_SFX_TRAILER_H
#define KESTREL_SFX_TRAILER_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { KESTREL_SFX_TRAILER_SIZE = 32 };
enum { KESTREL_SFX_LZH = 1, KESTREL_SFX_CAB = 2 };
enum {
    KESTREL_SFX_KEEP_FOLDERS = 1,  /* extract with the stored folders */
    KESTREL_SFX_RESTORE_MODES = 2, /* restore stored permissions */
    KESTREL_SFX_QUIET = 4          /* print only problems */
};

typedef struct KestrelSfxTrailer {
    uint32_t kind;
    uint32_t flags;
    uint64_t payloadOffset;
    uint64_t payloadLength;
} KestrelSfxTrailer;

/* Reads the trailer of the open file `fd` of `fileSize` bytes. Returns 1 and fills
 * `trailer` when one is there and consistent with the file, else 0. */
int kestrel_sfx_read_trailer(int fd, uint64_t fileSize, KestrelSfxTrailer* trailer);

/* Writes the self-extracting program `outputPath`: the stub `stubPath`, the
 * `payloadLength` bytes at `payloadOffset` of `payloadPath`, and the trailer. The
 * program is written through a temporary file and made executable; on failure
 * nothing is left behind and 0 is returned with a reason in `error` (may be null).
 * Returns 1 on success. */
int kestrel_sfx_write(const char* stubPath, const char* outputPath, const char* payloadPath,
                      uint64_t payloadOffset, uint64_t payloadLength, uint32_t kind,
                      uint32_t flags, char* error, size_t errorSize);

#ifdef __cplusplus
}
#endif

#endif
