#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "Attributes.h"
#include "DosTime.h"
#include "NameEncoding.h"

using namespace kestrel::arc;

TEST(NameEncoding, Cp932RoundTripKeepsBackslashAndTilde) {
    // "ソ" is 83 5C in CP932: its trail byte is '\'; '\' and '~' must stay themselves.
    auto stored = NameEncoding::utf8ToCp932("ソフト\\~表.txt");
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, "\x83\x5c\x83\x74\x83\x67\\~\x95\x5c.txt");
    EXPECT_EQ(NameEncoding::cp932ToUtf8(*stored), "ソフト\\~表.txt");
    EXPECT_TRUE(NameEncoding::isCp932LeadByte(0x83));
    EXPECT_FALSE(NameEncoding::isCp932LeadByte(0x5C));
}

TEST(NameEncoding, HalfWidthKatakanaIsSingleByte) {
    EXPECT_EQ(NameEncoding::utf8ToCp932("ﾌｧｲﾙ"), "\xcc\xa7\xb2\xd9");
    EXPECT_EQ(NameEncoding::toUtf8("\xcc\xa7\xb2\xd9"), "ﾌｧｲﾙ");
}

TEST(NameEncoding, StoredFormPrefersCp932AndFallsBackToUtf8) {
    EXPECT_EQ(NameEncoding::toStored("plain.txt"), "plain.txt");
    EXPECT_EQ(NameEncoding::toStored("日本.txt"), "\x93\xfa\x96\x7b.txt");
    // Hangul and emoji have no CP932 form.
    EXPECT_EQ(NameEncoding::toStored("한국.txt"), "한국.txt");
    EXPECT_EQ(NameEncoding::toStored("a😀"), "a😀");
}

TEST(NameEncoding, DetectionAndGarbage) {
    EXPECT_EQ(NameEncoding::toUtf8("日本.txt"), "日本.txt");
    EXPECT_EQ(NameEncoding::toUtf8("\x93\xfa\x96\x7b.txt"), "日本.txt");
    // A lone lead byte at the end is neither encoding: escaped, still valid UTF-8.
    std::string odd = NameEncoding::toUtf8("ab\x81");
    EXPECT_EQ(odd, "ab%81");
    EXPECT_TRUE(NameEncoding::isValidUtf8(odd));
    EXPECT_FALSE(NameEncoding::isValidUtf8("\xc0\xaf"));        // overlong '/'
    EXPECT_FALSE(NameEncoding::isValidUtf8("\xed\xa0\x80"));    // surrogate
    EXPECT_FALSE(NameEncoding::utf8ToCp932("\xff"));
}

class DosTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = getenv("TZ");
        savedTz_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", savedTz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::string savedTz_;
    bool hadTz_ = false;
};

TEST_F(DosTimeTest, KnownValueInLocalTimeBothWays) {
    // 2020-09-13 21:26:40 JST = 1600000000.
    DosDateTime dos = DosTime::fromTimeT(1600000000);
    EXPECT_EQ(dos.date, ((2020 - 1980) << 9) | (9 << 5) | 13);
    EXPECT_EQ(dos.time, (21 << 11) | (26 << 5) | 20);
    EXPECT_EQ(DosTime::toTimeT(dos), 1600000000);
    // Odd seconds round down to the two-second step.
    EXPECT_EQ(DosTime::toTimeT(DosTime::fromTimeT(1600000001)), 1600000000);
}

TEST_F(DosTimeTest, OutOfRangeIsClamped) {
    DosDateTime early = DosTime::fromTimeT(0);  // 1970
    EXPECT_EQ(early.date, (1 << 5) | 1);
    EXPECT_EQ(early.time, 0);
    DosDateTime late = DosTime::fromTimeT(static_cast<time_t>(5000000000LL));  // 2128
    EXPECT_EQ(late.date >> 9, 127);
    // Month 0 and hour 31 from a damaged header still give a sane time.
    time_t t = DosTime::toTimeT(static_cast<uint16_t>((40 << 9) | (0 << 5) | 0), static_cast<uint16_t>(31 << 11));
    struct tm local {};
    localtime_r(&t, &local);
    EXPECT_EQ(local.tm_year + 1900, 2020);
    EXPECT_EQ(local.tm_mon, 0);
    EXPECT_EQ(local.tm_hour, 23);
}

TEST(Attributes, TextAndModeMapping) {
    EXPECT_EQ(Attributes::text(0x20), "---A");
    EXPECT_EQ(Attributes::text(0x27), "RHSA");
    EXPECT_EQ(Attributes::text(0x10), "----");
    EXPECT_EQ(Attributes::fromMode(S_IFREG | 0644, "a.txt"), 0x20);
    EXPECT_EQ(Attributes::fromMode(S_IFREG | 0444, ".hidden"), 0x23);
    EXPECT_EQ(Attributes::fromMode(S_IFDIR | 0755, "sub"), 0x10);
    EXPECT_EQ(Attributes::fromMode(S_IFIFO | 0644, "fifo"), 0x04);
    EXPECT_EQ(Attributes::toMode(0x21, false), 0444u);
    EXPECT_EQ(Attributes::toMode(0x11, true), 0777u);
}
