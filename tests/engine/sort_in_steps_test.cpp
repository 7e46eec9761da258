#include "_compearer/sort_in_steps.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

namespace parvex {
namespace {

// Several blocks, the last one short, with many equal keys: the same order as one sort, and
// the caller gets its turn between the steps.
TEST(SortInStepsTest, GivesTheOrderOfOneSortAndReturnsBetweenSteps) {
    std::mt19937 random(20261208);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> items(300007);
    for (std::uint32_t i = 0; i < items.size(); ++i)
        items[i] = {random() % 5000, i};
    std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = items;
    std::sort(expected.begin(), expected.end());
    int steps = 0;
    SortInSteps(items, [&steps] { ++steps; });
    EXPECT_EQ(items, expected);
    EXPECT_GE(steps, 5 + 4) << "five blocks sorted, then merged";
}

} // namespace
} // namespace parvex
