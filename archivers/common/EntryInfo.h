/* The 560-byte listing record that FindFirst and FindNext fill. Little-endian, packed,
 * at fixed offsets; the static assertions below guard the layout. Text is UTF-8.
 *
 * Sizes of 2 GiB and more: the 31 bits of originalSize cannot hold them, so the bits
 * above them go in sizeHigh (bytes 18-19, a field the window's record readers never
 * read). originalSize then holds the low 31 bits of the size, and sizeHigh bits 31
 * to 46 (128 TiB; a larger size saturates there). Read the size with
 * EntryInfoSize(), never from originalSize alone.
 *
 * Names: a name that does not fit the 513 bytes of `name` (512 and the NUL) is cut
 * at a UTF-8 character boundary and the record carries ENTRY_FLAG_NAME_CUT; such a
 * record cannot name its entry to a command. */
#ifndef KESTREL_ENTRY_INFO_H
#define KESTREL_ENTRY_INFO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
typedef struct EntryInfo {
    int32_t originalSize;      /* 0: uncompressed size, bits 0-30 (all of it below 2 GiB) */
    uint32_t compressedSize;   /* 4: compressed size (saturates at UINT32_MAX) */
    uint32_t crc;              /* 8: the entry's CRC as the format stores it */
    uint32_t flags;            /* 12: ENTRY_FLAG_* below */
    uint16_t osType;           /* 16: the format's OS id, 0 where it has none */
    uint16_t sizeHigh;         /* 18: uncompressed size, bits 31-46 */
    int16_t ratio;             /* 20: compressed / original in tenths of a percent */
    uint16_t dosDate;          /* 22: MS-DOS date, local time */
    uint16_t dosTime;          /* 24: MS-DOS time, local time */
    char name[513];            /* 26: path inside the archive, NUL-terminated */
    char filler[3];            /* 539 */
    char attribute[8];         /* 542: attribute text, such as "R--A", NUL-padded */
    char method[8];            /* 550: method text, such as "-lh5-", NUL-padded */
    char padding[2];           /* 558 */
} EntryInfo;
#pragma pack(pop)

/* Folder; encrypted; name cut to fit `name`. */
enum { ENTRY_FLAG_FOLDER = 1, ENTRY_FLAG_ENCRYPTED = 2, ENTRY_FLAG_NAME_CUT = 4 };

/* The entry's real uncompressed size, also past the 32-bit field's limit. */
static inline int64_t EntryInfoSize(const EntryInfo* entry)
{
    return ((int64_t)entry->sizeHigh << 31) | (int64_t)((uint32_t)entry->originalSize & 0x7FFFFFFFu);
}

#ifdef __cplusplus
static_assert(sizeof(EntryInfo) == 560, "EntryInfo is 560 bytes");
static_assert(__builtin_offsetof(EntryInfo, sizeHigh) == 18, "sizeHigh at 18");
static_assert(__builtin_offsetof(EntryInfo, ratio) == 20, "ratio at 20");
static_assert(__builtin_offsetof(EntryInfo, dosDate) == 22, "date at 22");
static_assert(__builtin_offsetof(EntryInfo, dosTime) == 24, "time at 24");
static_assert(__builtin_offsetof(EntryInfo, name) == 26, "name at 26");
static_assert(__builtin_offsetof(EntryInfo, attribute) == 542, "attribute at 542");
static_assert(__builtin_offsetof(EntryInfo, method) == 550, "method at 550");
#endif

#ifdef __cplusplus
}
#endif

#endif
