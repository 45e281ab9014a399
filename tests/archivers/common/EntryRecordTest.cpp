// The listing record's size past 2 GiB and its cut names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "EntryRecord.h"

namespace kestrel::arc {
namespace {

TEST(EntryRecord, SizesPast2GiBComeBackWhole) {
    for (uint64_t size : {uint64_t{0}, uint64_t{1234}, uint64_t{0x7FFFFFFF}, uint64_t{0x80000000},
                          uint64_t{0xFFFFFFFF}, uint64_t{5} << 30, (uint64_t{1} << 47) - 1}) {
        EntryInfo info;
        std::memset(&info, 0, sizeof info);
        setEntrySize(info, size);
        EXPECT_EQ(static_cast<uint64_t>(EntryInfoSize(&info)), size);
        EXPECT_GE(info.originalSize, 0) << "the 32-bit field never turns negative";
        if (size < 0x80000000u) {
            EXPECT_EQ(info.sizeHigh, 0) << "small sizes keep the old record";
        }
    }
}

TEST(EntryRecord, LongNamesAreCutWholeCharactersAndMarked) {
    EntryInfo info;
    std::memset(&info, 0, sizeof info);
    setEntryName(info, "docs/a.txt");
    EXPECT_STREQ(info.name, "docs/a.txt");
    EXPECT_EQ(info.flags & ENTRY_FLAG_NAME_CUT, 0u);

    // 511 ASCII bytes then a three-byte character: it cannot fit whole.
    const std::string name = std::string(511, 'a') + "あ";
    info.flags = ENTRY_FLAG_FOLDER;
    setEntryName(info, name);
    EXPECT_EQ(std::string(info.name), std::string(511, 'a'));
    EXPECT_EQ(info.flags, uint32_t{ENTRY_FLAG_FOLDER | ENTRY_FLAG_NAME_CUT});

    std::memset(&info, 0, sizeof info);
    setEntryName(info, std::string(512, 'b'));
    EXPECT_EQ(std::strlen(info.name), 512u) << "512 bytes and the NUL still fit";
    EXPECT_EQ(info.flags & ENTRY_FLAG_NAME_CUT, 0u);
}

}  // namespace
}  // namespace kestrel::arc
