#include "_compearer/for_each_run.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

// The runs of a text, split where the character changes, written "aa|b|cc".
std::string Runs(const std::string& text) {
    std::string out;
    ForEachRun(
        text, [](char a, char b) { return a == b; },
        [&](const auto run) {
            if (!out.empty())
                out += '|';
            out.append(run.begin(), run.end());
        });
    return out;
}

TEST(ForEachRun, SplitsWhereTheKeyChanges) {
    const struct {
        std::string Text, Expected;
    } cases[] = {
        {"", ""},
        {"a", "a"},
        {"aaaa", "aaaa"},
        {"abab", "a|b|a|b"},
        {"aabccc", "aa|b|ccc"},
        {"abb", "a|bb"},
        {"aab", "aa|b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runs(c.Text), c.Expected) << "text \"" << c.Text << "\"";
}

TEST(ForEachRun, ComparesWithTheFirstElementOfTheRun) {
    // Neighbours differ by one, so a chain of neighbours would make one run.
    const std::vector<int> values{1, 2, 3, 4, 5};
    std::vector<std::vector<int>> runs;
    const auto near = [](int first, int other) { return other - first <= 1; };
    ForEachRun(values, near, [&](const auto run) { runs.emplace_back(run.begin(), run.end()); });
    EXPECT_EQ(runs, (std::vector<std::vector<int>>{{1, 2}, {3, 4}, {5}}));
}

TEST(ForEachRun, ARunThatReturnsFalseEndsTheWalk) {
    const std::string text = "aabbcc";
    std::vector<std::string> seen;
    const bool completed = ForEachRun(
        text, [](char a, char b) { return a == b; },
        [&](auto run) {
            seen.emplace_back(run.begin(), run.end());
            return run.front() != 'b';
        });
    EXPECT_FALSE(completed);
    EXPECT_EQ(seen, (std::vector<std::string>{"aa", "bb"}));
    EXPECT_TRUE(ForEachRun(
        text, [](char a, char b) { return a == b; }, [](auto) { return true; }));
}

} // namespace
} // namespace parvex
