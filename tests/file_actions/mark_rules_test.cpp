// The marking commands on plain groups: marks as a plan says, protected files, and that no
// command marks every copy.
#include "file_actions/mark_rules.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

// A group of files given as (found rank, protected, marked).
std::vector<TMarkable> Group(std::initializer_list<TMarkable> files) {
    return files;
}

std::string Marks(const std::vector<TMarkable>& files) {
    std::string marks;
    for (const TMarkable& file : files)
        marks += file.Marked ? 'x' : '.';
    return marks;
}

// A planned group from its decisions in found order: "S" stays, "A" act, "K" skip.
TPlanGroup Planned(const std::string& decisions) {
    TPlanGroup plan;
    for (std::size_t f = 0; f < decisions.size(); ++f)
        plan.Files.push_back({f,
                              decisions[f] == 'S'   ? TPlanDecision::Stays
                              : decisions[f] == 'A' ? TPlanDecision::Act
                                                    : TPlanDecision::Skip,
                              {}});
    return plan;
}

TEST(MarkRulesTest, AFileIsMarkedWhenThePlanActsOnItFoundOrderMappedToRows) {
    // Rows in path order; the found order differs from it.
    const std::vector<TMarkable> rows =
        Group({{2, false, true}, {1, false, false}, {3, true, false}, {0, false, true}});
    const struct {
        const char* Decisions; // in found order
        const char* Expected;  // in row order
    } cases[] = {
        {"SAAA", "xx.."}, // found 3 is protected: never marked
        {"AASA", ".x.x"}, // the marks that were there do not count
        {"ASKS", "...x"}, // a file skipped is not marked
    };
    for (const auto& c : cases) {
        std::vector<TMarkable> files = rows;
        MarkAsPlanned(files, Planned(c.Decisions));
        EXPECT_EQ(Marks(files), c.Expected) << c.Decisions;
    }
}

TEST(MarkRulesTest, ProtectedFilesAreNeverMarkedByARule) {
    std::vector<TMarkable> group = Group({{0, false, true}, {1, true}, {2}});
    EXPECT_FALSE(InvertMarks(group));
    EXPECT_EQ(Marks(group), "..x");
    EXPECT_FALSE(MarkCovered(group, {true, true, false}));
    EXPECT_EQ(Marks(group), "x.x");
}

TEST(MarkRulesTest, ARuleThatWouldMarkEveryCopyLeavesTheFirstFoundUnmarked) {
    std::vector<TMarkable> group = Group({{1}, {0}, {2}});
    EXPECT_TRUE(MarkCovered(group, {true, true, true}));
    EXPECT_EQ(Marks(group), "x.x");
    EXPECT_TRUE(MarkAsPlanned(group, Planned("AAA")));
    EXPECT_EQ(Marks(group), "x.x");

    group = Group({{1, false, true}, {0}, {2, false, true}});
    EXPECT_FALSE(InvertMarks(group));
    EXPECT_EQ(Marks(group), ".x.");
    group = Group({{1}, {0}});
    EXPECT_TRUE(InvertMarks(group));
    EXPECT_EQ(Marks(group), "x.");
}

TEST(MarkRulesTest, AGroupOfOneKeepsItsFile) {
    std::vector<TMarkable> group = Group({{0}});
    EXPECT_TRUE(MarkCovered(group, {true}));
    EXPECT_EQ(Marks(group), ".");
    EXPECT_FALSE(KeepOneUnmarked(group));
}

} // namespace
} // namespace parvex
