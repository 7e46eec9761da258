#include "platform/file_times.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

namespace parvex {
namespace {

class FileTimes : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

std::int32_t Packed(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                    unsigned second) {
    const std::uint32_t date = (year - 1980) << 9 | month << 5 | day;
    const std::uint32_t time = hour << 11 | minute << 5 | second / 2;
    return static_cast<std::int32_t>(date << 16 | time);
}

TEST_F(FileTimes, PacksLocalTimeInTwoSecondSteps) {
    EXPECT_EQ(PackedLocalTime(315532800), Packed(1980, 1, 1, 0, 0, 0)); // 1980-01-01 00:00:00
    EXPECT_EQ(PackedLocalTime(1700000001), Packed(2023, 11, 14, 22, 13, 20));
    EXPECT_EQ(PackedLocalTime(1700000000), PackedLocalTime(1700000001));
    EXPECT_NE(PackedLocalTime(1700000001), PackedLocalTime(1700000002));
    // 2107-12-31 23:59:59, the last time the word holds; its date sets the sign bit.
    EXPECT_EQ(PackedLocalTime(4354819199), Packed(2107, 12, 31, 23, 59, 59));
    EXPECT_LT(*PackedLocalTime(4354819199), 0);
}

TEST_F(FileTimes, TimesOutsideThePackedRangeGetADistinctCode) {
    EXPECT_EQ(PackedLocalTime(315532799), std::nullopt);    // 1979-12-31 23:59:59
    EXPECT_EQ(PackedLocalTime(4354819200), std::nullopt);   // 2108-01-01
    const std::int64_t packedLimit = std::int64_t(1) << 31; // packed words are 32-bit signed
    for (const std::time_t seconds : {std::time_t(0), std::time_t(-5), std::time_t(4354819200)})
        EXPECT_TRUE(FileTimeCode(seconds) >= packedLimit || FileTimeCode(seconds) < -packedLimit)
            << seconds << " gives " << FileTimeCode(seconds);
    EXPECT_NE(FileTimeCode(0), FileTimeCode(1));
    EXPECT_NE(FileTimeCode(-1), FileTimeCode(0));
    EXPECT_EQ(FileTimeCode(1700000001), Packed(2023, 11, 14, 22, 13, 20));
}

TEST_F(FileTimes, NanosecondsSinceTheEpochHeldToSixtyFourBits) {
    EXPECT_EQ(NanosecondsOf({1700000000, 123456789}), 1700000000123456789);
    EXPECT_EQ(NanosecondsOf({-1, 999999999}), -1);
    EXPECT_EQ(NanosecondsOf({std::numeric_limits<std::time_t>::max(), 0}),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(NanosecondsOf({std::numeric_limits<std::time_t>::min(), 0}),
              std::numeric_limits<std::int64_t>::min());
}

} // namespace
} // namespace parvex
