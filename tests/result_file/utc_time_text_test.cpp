// Times of the JSON result as RFC 3339 UTC texts to the nanosecond.

#include "result_file/utc_time_text.h"

#include <gtest/gtest.h>

namespace {

TEST(UtcTimeTextTest, NineFractionDigitsInUtc) {
    EXPECT_EQ(parvex::Rfc3339UtcOf(0), "1970-01-01T00:00:00.000000000Z");
    EXPECT_EQ(parvex::Rfc3339UtcOf(1700000000123456789), "2023-11-14T22:13:20.123456789Z");
    EXPECT_EQ(parvex::Rfc3339UtcOf(1), "1970-01-01T00:00:00.000000001Z");
    // Before 1970 the fraction still counts up from the whole second before.
    EXPECT_EQ(parvex::Rfc3339UtcOf(-1), "1969-12-31T23:59:59.999999999Z");
    EXPECT_EQ(parvex::Rfc3339UtcOf(-1000000000), "1969-12-31T23:59:59.000000000Z");
}

TEST(UtcTimeTextTest, ReadsBackWhatItWrites) {
    for (const std::int64_t moment :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{-1}, std::int64_t{1700000000123456789},
          std::int64_t{-1000000000}, std::int64_t{951782400000000000}})
        EXPECT_EQ(parvex::NanosecondsOfRfc3339(parvex::Rfc3339UtcOf(moment)), moment) << moment;
}

TEST(UtcTimeTextTest, OtherTextsNameNoMoment) {
    for (const char* text : {"", "2023-11-14T22:13:20Z", "2023-11-14T22:13:20.123456789+01:00",
                             "2023-11-14 22:13:20.123456789Z", "2023-02-31T00:00:00.000000000Z",
                             "2023-11-14T22:13:2x.123456789Z"})
        EXPECT_EQ(parvex::NanosecondsOfRfc3339(text), std::nullopt) << text;
}

} // namespace
