#include "_compearer/wasted_space.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

TSpaceOfFile File(std::uint64_t inode, std::int64_t size, bool allNamesFound = true) {
    return {TFileId{1, inode}, size, allNamesFound};
}

TEST(WastedSpace, AllButTheLargestCopyOfEveryInodeOnce) {
    const struct {
        const char* What;
        std::vector<TSpaceOfFile> Files;
        std::int64_t Wasted;
    } cases[] = {
        {"no files", {}, 0},
        {"one file", {File(1, 10)}, 0},
        {"two copies", {File(1, 10), File(2, 10)}, 10},
        {"three copies", {File(1, 10), File(2, 10), File(3, 10)}, 20},
        {"sizes differ (size not compared): the largest stays", {File(1, 5), File(2, 9)}, 5},
        {"two names of one inode are one file", {File(1, 10), File(1, 10)}, 0},
        {"a second name among copies counts once", {File(1, 10), File(2, 10), File(1, 10)}, 10},
        {"an inode with a name outside the group stays, the rest is freed",
         {File(1, 10, false), File(2, 10), File(3, 10)},
         20},
        {"nothing found whole frees nothing", {File(1, 10, false), File(2, 10, false)}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WastedSpace(c.Files), c.Wasted) << c.What;
}

} // namespace
} // namespace parvex
