/* The 560-byte listing record that FindFirst and FindNext fill. Little-endian, packed,
 * at fixed offsets; the static assertions below guard the layout. Text is UTF-8. */
#ifndef KESTREL_ENTRY_INFO_H
#define KESTREL_ENTRY_INFO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
typedef struct EntryInfo {
    int32_t originalSize;      /* 0: uncompressed size (bytes; saturates at INT32_MAX) */
    uint32_t compressedSize;   /* 4: compressed size (saturates at UINT32_MAX) */
    uint32_t crc;              /* 8: the entry's CRC as the format stores it */
    uint32_t flags;            /* 12: bit 0 = folder, bit 1 = encrypted */
    uint16_t osType;           /* 16: the format's OS id, 0 where it has none */
    uint16_t reserved;         /* 18 */
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

enum { ENTRY_FLAG_FOLDER = 1, ENTRY_FLAG_ENCRYPTED = 2, ENTRY_FLAG_NAME_CUT = 4 };

/* The entry's real uncompressed size, also past the 32-bit field's limit. */
static inline int64_t EntryInfoSize(const EntryInfo* entry)
{
    return entry->originalSize;
}

#ifdef __cplusplus
static_assert(sizeof(EntryInfo) == 560, "EntryInfo is 560 bytes");
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
