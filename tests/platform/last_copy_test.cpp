// Whether a file is the last copy of its content: decided on the bytes on disk, whatever grouped
// the files.
#include "platform/last_copy.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

TEST(LastCopyTest, OnlyAnotherNameOrTheSameBytesKeepTheContent) {
    struct TCase {
        const char* What;
        std::vector<std::pair<std::string, std::string>> Others; // name, content ("" = missing)
        bool HardLink;
        bool LastCopy;
        std::uint64_t OtherNames;
        const char* SameBytesAt;
    };
    const std::vector<TCase> cases = {
        {"no other file", {}, false, true, 0, ""},
        {"same name, other bytes", {{"b/pic", "other bytes!"}}, false, true, 0, ""},
        {"same size, other bytes", {{"b/pic", "same sizf"}}, false, true, 0, ""},
        {"other file gone", {{"b/pic", ""}}, false, true, 0, ""},
        {"the second holds the bytes",
         {{"b/pic", "same sizf"}, {"c/pic", "same size"}},
         false,
         false,
         0,
         "c/pic"},
        {"a second name of the file", {{"b/pic", "other"}}, true, false, 1, ""},
    };
    for (const TCase& c : cases) {
        TTempTree tree;
        const std::string path = tree.File("a/pic", "same size");
        std::vector<std::string> others;
        for (const auto& [name, content] : c.Others)
            others.push_back(content.empty() ? tree.Path(name) : tree.File(name, content));
        if (c.HardLink)
            tree.HardLink("d/pic", "a/pic");
        const TLastCopyVerdict verdict = DecideLastCopy(path, others);
        EXPECT_EQ(verdict.LastCopy, c.LastCopy) << c.What;
        EXPECT_EQ(verdict.OtherNames, c.OtherNames) << c.What;
        EXPECT_EQ(verdict.SameBytesAt, *c.SameBytesAt ? tree.Path(c.SameBytesAt) : "") << c.What;
        EXPECT_FALSE(verdict.Stopped) << c.What;
    }
}

TEST(LastCopyTest, SizesComeFirstAndAStoppedCheckLeavesTheLastCopy) {
    TTempTree tree;
    const std::string content(300 * 1024, 'x');
    const std::string path = tree.File("a/big", content);
    const std::vector<std::string> others = {tree.File("b/big", content + "y"),
                                             tree.File("c/big", content)};
    std::vector<std::int64_t> totals;
    const TLastCopyVerdict whole = DecideLastCopy(path, others, [&](std::int64_t, std::int64_t t) {
        totals.push_back(t);
        return true;
    });
    EXPECT_FALSE(whole.LastCopy);
    ASSERT_FALSE(totals.empty());
    EXPECT_EQ(totals.front(), static_cast<std::int64_t>(content.size()))
        << "only the file of the same size is to be read";

    int calls = 0;
    const TLastCopyVerdict stopped =
        DecideLastCopy(path, others, [&](std::int64_t, std::int64_t) { return ++calls < 2; });
    EXPECT_TRUE(stopped.LastCopy);
    EXPECT_TRUE(stopped.Stopped);
    EXPECT_EQ(calls, 2) << "the check goes on no further than the call that stopped it";
}

} // namespace
} // namespace parvex
