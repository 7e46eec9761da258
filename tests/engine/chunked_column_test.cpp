#include "_compearer/chunked_column.h"

#include <gtest/gtest.h>
#include <vector>

namespace parvex {
namespace {

using TSmallBlocks = TChunkedColumn<std::int64_t, 4>; // 16 elements a block

TEST(ChunkedColumn, KeepsEveryValueAcrossBlocks) {
    TSmallBlocks column;
    std::vector<std::int64_t> expected;
    for (std::int64_t i = 0; i < 100; ++i) {
        column.push_back(i * i - 7);
        expected.push_back(i * i - 7);
    }
    EXPECT_EQ(column.size(), 100U);
    EXPECT_EQ(std::vector<std::int64_t>(column.begin(), column.end()), expected);
}

TEST(ChunkedColumn, GrowingNeverMovesTheValuesStored) {
    TChunkedColumn<std::uint32_t> column;
    column.push_back(42);
    const std::uint32_t* first = &column[0];
    for (std::uint32_t i = 1; i < 300000; ++i)
        column.push_back(i);
    EXPECT_EQ(&column[0], first);
    EXPECT_EQ(column[0], 42U);
    EXPECT_EQ(column[299999], 299999U);
}

TEST(ChunkedColumn, BytesAreWholeBlocksAndShrinkingFreesThem) {
    TSmallBlocks column;
    column.resize(40, 5);
    const std::size_t list = column.Bytes() - 3 * 16 * sizeof(std::int64_t);
    EXPECT_LT(list, 64U) << "three blocks and the list of them: " << column.Bytes();
    EXPECT_EQ(column[39], 5);
    column.resize(16);
    EXPECT_EQ(column.size(), 16U);
    EXPECT_EQ(column.Bytes(), 16 * sizeof(std::int64_t) + list);
    column.resize(18, 9);
    EXPECT_EQ(column[15], 5);
    EXPECT_EQ(column[17], 9);
    column.clear();
    EXPECT_TRUE(column.empty());
    EXPECT_EQ(column.Bytes(), 0U);
}

} // namespace
} // namespace parvex
