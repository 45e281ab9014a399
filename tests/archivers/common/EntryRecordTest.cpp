// The listing record's size past 2 GiB (cut names are tested with each library).
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

}  // namespace
}  // namespace kestrel::arc
