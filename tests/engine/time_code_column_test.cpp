#include "_compearer/time_code_column.h"
#include "platform/file_times.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace parvex {
namespace {

TEST(TimeCodeColumn, KeepsEveryCodeExactly) {
    const std::vector<std::int64_t> codes{
        *PackedLocalTime(1600000000),
        FileTimeCode(100), // 1970: outside the packed range
        FileTimeCode(-5),
        -1, // what a packed word never is
        std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max(),
        std::numeric_limits<std::int64_t>::min(),
        std::numeric_limits<std::int64_t>::max(),
        0,
    };
    TTimeCodeColumn column;
    for (const std::int64_t code : codes)
        column.push_back(code);
    EXPECT_EQ(std::vector<std::int64_t>(column.begin(), column.end()), codes);
}

TEST(TimeCodeColumn, APackedTimeCostsFourBytes) {
    TTimeCodeColumn column;
    for (int i = 0; i < 100000; ++i)
        column.push_back(*PackedLocalTime(1600000000 + 2 * i));
    EXPECT_LT(column.Bytes(), 100000 * 4 + 65536 * 4 + 1024) << column.Bytes();
}

TEST(TimeCodeColumn, WideCodesMoveWithTheirRows) {
    TTimeCodeColumn column;
    const std::int64_t wide = FileTimeCode(100), packed = *PackedLocalTime(1600000000);
    for (const std::int64_t code : {packed, wide, packed, wide, wide})
        column.push_back(code);
    column.MoveRow(2, 0); // a packed code over a packed one
    column.MoveRow(4, 2); // a wide code over a packed one
    column.MoveRow(0, 1); // a packed code over a wide one
    column.Truncate(3);
    EXPECT_EQ(std::vector<std::int64_t>(column.begin(), column.end()),
              (std::vector<std::int64_t>{packed, packed, wide}));
    column.Clear();
    EXPECT_TRUE(column.empty());
}

} // namespace
} // namespace parvex
