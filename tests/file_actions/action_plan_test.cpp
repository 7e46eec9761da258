// The plan: what stays and what is acted on in each group, and why.
#include "file_actions/action_plan.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <random>

namespace parvex {
namespace {

using testing::TTempTree;

TResultFileFacts Copy(std::string path, std::int64_t modifiedNs = 0, bool marked = false) {
    TResultFileFacts file;
    file.Path = std::move(path);
    file.ModifiedNs = modifiedNs;
    file.Marked = marked;
    return file;
}

// The decisions of a planned group as one text, "S A K" style: S stays, A act, K skip, the kept
// copy in brackets.
std::string Decisions(const TPlanGroup& group) {
    std::string text;
    for (const TPlanFile& file : group.Files) {
        const char letter = file.Decision == TPlanDecision::Stays ? 'S'
                            : file.Decision == TPlanDecision::Act ? 'A'
                                                                  : 'K';
        text += group.Kept == file.File ? std::string("[") + letter + "]" : std::string(1, letter);
    }
    return text;
}

TEST(ActionPlanTest, OneCopyStaysByTheRulesOrTheProtectedCopiesAndTheMarksWhenFollowed) {
    TTempTree tree;
    const std::string safe = tree.Folder("safe");
    tree.Folder("work");
    const auto at = [&tree](const char* relative) { return tree.Path(relative); };
    TResultFileFacts linked = Copy(at("work/linked"));
    linked.OtherNames = {at("safe/other-name")};
    const struct {
        const char* What;
        std::vector<TResultFileFacts> Files;
        TPlanChoices Choices;
        std::string Expected;
    } cases[] = {
        {"rules keep one",
         {Copy(at("work/a"), 1), Copy(at("work/b"), 3), Copy(at("work/c"), 2)},
         {{{TKeepRuleKind::Newest, {}}}, {}, false, {}},
         "A[S]A"},
        {"a protected copy stays, the rules not asked",
         {Copy(at("work/a"), 9), Copy(at("safe/b"), 1), Copy(at("work/c"), 2)},
         {{{TKeepRuleKind::Newest, {}}}, {safe}, false, {}},
         "A[S]A"},
        {"every protected copy stays",
         {Copy(at("safe/a")), Copy(at("work/b")), Copy(at("safe/c"))},
         {{}, {safe}, false, {}},
         "[S]AS"},
        {"a file is protected through any of its names",
         {Copy(at("work/a")), linked},
         {{}, {safe}, false, {}},
         "A[S]"},
        {"marks say what is acted on",
         {Copy(at("work/a"), 0, true), Copy(at("work/b")), Copy(at("work/c"), 0, true)},
         {{}, {}, true, {}},
         "A[S]A"},
        {"a marked protected copy is skipped and stays the reference",
         {Copy(at("work/a")), Copy(at("safe/b"), 0, true), Copy(at("work/c"), 0, true)},
         {{}, {safe}, true, {}},
         "S[K]A"},
        {"every copy marked: nothing stays, nothing is acted on",
         {Copy(at("work/a"), 0, true), Copy(at("work/b"), 0, true)},
         {{}, {}, true, {}},
         "KK"},
        {"files outside the start folder are skipped",
         {Copy(at("elsewhere/a")), Copy(at("work/b")), Copy(at("work/../c"))},
         {{}, {}, false, at("work/")},
         "K[S]K"},
    };
    for (const auto& c : cases) {
        TRealFolders real;
        const TActionPlan plan =
            MakeActionPlan(std::vector<TResultGroupFacts>{{"group", {}, c.Files}}, c.Choices, real);
        ASSERT_EQ(plan.Groups.size(), 1u) << c.What;
        EXPECT_EQ(Decisions(plan.Groups[0]), c.Expected) << c.What;
    }
}

// Random groups below two protected folders and two others, random rule lists: the plan is the
// same every time it is made, and each group keeps exactly one file unless it holds protected
// copies, which then are exactly the files that stay.
TEST(ActionPlanTest, PlansOfRandomResultsAreRepeatableAndKeepOneCopyOrTheProtectedOnes) {
    TTempTree tree;
    const std::vector<std::string> folders{tree.Folder("p"), tree.Folder("q/deep"),
                                           tree.Folder("r"), tree.Folder("s/t")};
    const std::vector<std::string> ruleTexts{"newest",       "oldest",  "shortest-path",
                                             "longest-path", "first",   "in:" + folders[2],
                                             "glob:*/s/*",   "glob:*a*"};
    std::mt19937 random(20261209);
    for (int round = 0; round < 200; ++round) {
        std::vector<TResultGroupFacts> groups(1 + random() % 6);
        for (TResultGroupFacts& group : groups) {
            const std::size_t count = 2 + random() % 5;
            for (std::size_t f = 0; f < count; ++f)
                group.Files.push_back(Copy(folders[random() % folders.size()] + "f" +
                                               std::string(random() % 3, 'a') +
                                               std::to_string(random() % 100),
                                           static_cast<std::int64_t>(random() % 4)));
        }
        TPlanChoices choices;
        choices.Rules.clear();
        for (std::size_t r = random() % 4; r > 0; --r)
            choices.Rules.push_back(*ParseKeepRule(ruleTexts[random() % ruleTexts.size()]));
        if (random() % 2 == 0)
            choices.ProtectedFolders = {tree.Path("p"), tree.Root() + "q/"};
        TRealFolders real;
        const TActionPlan plan = MakeActionPlan(groups, choices, real);
        TRealFolders fresh;
        const TActionPlan again = MakeActionPlan(groups, choices, fresh);
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const TPlanGroup& group = plan.Groups[g];
            EXPECT_EQ(Decisions(group), Decisions(again.Groups[g])) << "round " << round;
            std::size_t staying = 0;
            std::size_t protectedCount = 0;
            for (const TPlanFile& file : group.Files) {
                const std::string& path = groups[g].Files[file.File].Path;
                const bool isProtected =
                    !choices.ProtectedFolders.empty() &&
                    (path.starts_with(folders[0]) || path.starts_with(folders[1]));
                protectedCount += isProtected;
                staying += file.Decision == TPlanDecision::Stays;
                if (isProtected) {
                    EXPECT_EQ(file.Decision, TPlanDecision::Stays) << path << ", round " << round;
                }
            }
            EXPECT_EQ(staying, std::max<std::size_t>(protectedCount, 1))
                << Decisions(group) << ", round " << round;
            EXPECT_TRUE(group.Kept.has_value()) << "round " << round;
        }
    }
}

} // namespace
} // namespace parvex
