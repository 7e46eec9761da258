#include "_compearer/row_index.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace parvex {
namespace {

// Keys spread as a real hash spreads them; every fourth key shares its hash with the one before,
// so that the caller's equality has to tell them apart.
std::uint64_t HashOf(std::uint32_t key) {
    std::uint64_t x = (key & ~1u) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    return key % 4 == 3 ? HashOf(key - 1) : x;
}

std::uint32_t FindKey(const TRowIndex& index, const std::vector<std::uint32_t>& keyOfRow,
                      std::uint32_t key) {
    return index.Find(HashOf(key), [&](std::uint32_t row) { return keyOfRow[row] == key; });
}

// Rows inserted across several growths are found again at every moment, including while the
// rows of the smaller table are still being moved, and keys never inserted are not.
TEST(TRowIndexTest, EveryRowIsFoundAgainWhileTheTableGrows) {
    TRowIndex index;
    std::vector<std::uint32_t> keyOfRow;
    for (std::uint32_t row = 0; row < 20000; ++row) {
        const std::uint32_t key = row * 3 + 1;
        keyOfRow.push_back(key);
        index.Insert(HashOf(key), row);
        for (const std::uint32_t probe : {row, row / 2, row / 7, (row * 13) % (row + 1)})
            ASSERT_EQ(FindKey(index, keyOfRow, keyOfRow[probe]), probe) << "after row " << row;
        ASSERT_EQ(FindKey(index, keyOfRow, row * 3 + 2), TRowIndex::NotFound);
    }
    for (std::uint32_t row = 0; row < keyOfRow.size(); ++row)
        ASSERT_EQ(FindKey(index, keyOfRow, keyOfRow[row]), row);
    index.Clear();
    EXPECT_EQ(FindKey(index, keyOfRow, keyOfRow[0]), TRowIndex::NotFound);
}

} // namespace
} // namespace parvex
