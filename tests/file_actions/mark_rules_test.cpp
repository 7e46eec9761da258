// The marking rules on plain groups: which copy stays, ties, protected files, and that no rule
// marks every copy.
#include "file_actions/mark_rules.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

// A group of files given as (moment, path length, found rank, protected, marked).
std::vector<TMarkable> Group(std::initializer_list<TMarkable> files) {
    return files;
}

std::string Marks(const std::vector<TMarkable>& files) {
    std::string marks;
    for (const TMarkable& file : files)
        marks += file.Marked ? 'x' : '.';
    return marks;
}

TEST(MarkRulesTest, EachKeepRuleKeepsItsCopyAndTiesGoToTheOneFoundFirst) {
    // Rows in path order; the found order differs from it.
    const std::vector<TMarkable> files = Group({{20, 9, 2}, {30, 5, 1}, {10, 5, 3}, {30, 7, 0}});
    const struct {
        TKeepRule Rule;
        std::string Expected;
    } cases[] = {
        {TKeepRule::Newest, "xxx."},       // rows 1 and 3 are newest; row 3 was found first
        {TKeepRule::Oldest, "xx.x"},       // row 2 alone is oldest
        {TKeepRule::ShortestPath, "x.xx"}, // rows 1 and 2 are shortest; row 1 was found first
        {TKeepRule::FirstFound, "xxx."},   // found rank 0
    };
    for (const auto& c : cases) {
        std::vector<TMarkable> group = files;
        EXPECT_FALSE(MarkAllButOne(group, c.Rule));
        EXPECT_EQ(Marks(group), c.Expected) << "rule " << static_cast<int>(c.Rule);
    }
}

TEST(MarkRulesTest, ProtectedFilesAreNeverMarkedByARule) {
    std::vector<TMarkable> group = Group({{1, 5, 0}, {2, 5, 1, true}, {3, 5, 2}});
    EXPECT_FALSE(MarkAllButOne(group, TKeepRule::Newest));
    EXPECT_EQ(Marks(group), "x..");
    EXPECT_FALSE(InvertMarks(group));
    EXPECT_EQ(Marks(group), "..x");
    EXPECT_FALSE(MarkCovered(group, {true, true, false}));
    EXPECT_EQ(Marks(group), "x.x");
}

TEST(MarkRulesTest, ARuleThatWouldMarkEveryCopyLeavesTheFirstFoundUnmarked) {
    std::vector<TMarkable> group = Group({{1, 5, 1}, {1, 5, 0}, {1, 5, 2}});
    EXPECT_TRUE(MarkCovered(group, {true, true, true}));
    EXPECT_EQ(Marks(group), "x.x");

    group = Group({{1, 5, 1, false, true}, {1, 5, 0}, {1, 5, 2, false, true}});
    EXPECT_FALSE(InvertMarks(group));
    EXPECT_EQ(Marks(group), ".x.");
    group = Group({{1, 5, 1}, {1, 5, 0}});
    EXPECT_TRUE(InvertMarks(group));
    EXPECT_EQ(Marks(group), "x.");
}

TEST(MarkRulesTest, AGroupOfOneKeepsItsFile) {
    std::vector<TMarkable> group = Group({{1, 5, 0}});
    EXPECT_FALSE(MarkAllButOne(group, TKeepRule::Oldest));
    EXPECT_EQ(Marks(group), ".");
    EXPECT_TRUE(MarkCovered(group, {true}));
    EXPECT_EQ(Marks(group), ".");
    EXPECT_FALSE(KeepOneUnmarked(group));
}

} // namespace
} // namespace parvex
