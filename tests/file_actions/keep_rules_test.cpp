// Keep rules: their texts, and which copy an ordered list of them keeps.
#include "file_actions/keep_rules.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

TEST(KeepRulesTest, EveryRuleIsReadFromItsTextAndWrittenBackAsIt) {
    const struct {
        const char* Text;
        std::optional<TKeepRule> Rule;
    } cases[] = {
        {"newest", TKeepRule{TKeepRuleKind::Newest, {}}},
        {"oldest", TKeepRule{TKeepRuleKind::Oldest, {}}},
        {"shortest-path", TKeepRule{TKeepRuleKind::ShortestPath, {}}},
        {"longest-path", TKeepRule{TKeepRuleKind::LongestPath, {}}},
        {"first", TKeepRule{TKeepRuleKind::First, {}}},
        {"in:/srv/photos", TKeepRule{TKeepRuleKind::In, "/srv/photos"}},
        {"glob:*/keep/*.jpg", TKeepRule{TKeepRuleKind::Glob, "*/keep/*.jpg"}},
        {"in:", std::nullopt},
        {"glob:", std::nullopt},
        {"Newest", std::nullopt},
        {"newest:", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<TKeepRule> rule = ParseKeepRule(c.Text);
        EXPECT_EQ(rule, c.Rule) << "\"" << c.Text << "\" read as "
                                << (rule ? KeepRuleText(*rule) : "nothing");
        if (rule) {
            EXPECT_EQ(KeepRuleText(*rule), c.Text);
        }
    }
}

TResultFileFacts Copy(std::string path, std::int64_t modifiedNs) {
    TResultFileFacts file;
    file.Path = std::move(path);
    file.ModifiedNs = modifiedNs;
    return file;
}

TEST(KeepRulesTest, TheFirstRuleThatTellsTheCopiesApartDecidesAndTiesGoOn) {
    TTempTree tree;
    const std::string keep = tree.Folder("keep");
    tree.Folder("keep/sub");
    tree.Link("keep-link", "keep");
    const std::vector<TResultFileFacts> group{
        Copy(tree.Path("a/long/copy.txt"), 200),   // 0
        Copy(tree.Path("keep/copy.txt"), 100),     // 1
        Copy(tree.Path("b/copy.txt"), 200),        // 2
        Copy(tree.Path("keep/sub/copy.txt"), 100), // 3
    };
    const struct {
        std::vector<const char*> Rules;
        std::size_t Kept;
        const char* DecidedBy;
    } cases[] = {
        {{}, 0, "first"},
        {{"first"}, 0, "first"},
        {{"newest"}, 0, "first"},
        {{"newest", "shortest-path"}, 2, "shortest-path"},
        {{"oldest"}, 1, "first"},
        {{"oldest", "longest-path"}, 3, "longest-path"},
        {{"shortest-path"}, 2, "shortest-path"},
        {{"longest-path"}, 3, "longest-path"},
        {{"glob:*/b/*"}, 2, "glob:*/b/*"},
        {{"glob:*.TXT", "newest", "longest-path"}, 0, "longest-path"},
        {{"glob:*/nowhere/*", "oldest", "shortest-path"}, 1, "shortest-path"},
    };
    for (const auto& c : cases) {
        std::vector<TKeepRule> rules;
        for (const char* text : c.Rules)
            if (const auto rule = ParseKeepRule(text))
                rules.push_back(*rule);
        TRealFolders real;
        const TKeepChoice choice = TKeepRules(rules, real).Choose(group, real);
        EXPECT_EQ(choice.Kept, c.Kept) << "rules starting " << (c.Rules.empty() ? "-" : c.Rules[0]);
        EXPECT_EQ(choice.DecidedBy, c.DecidedBy) << "kept " << choice.Kept;
        // In this group "first" decides only where the copies were tied up to it.
        EXPECT_EQ(choice.ByFoundOrder, std::string(c.DecidedBy) == "first")
            << "decided by " << choice.DecidedBy;
    }
    // "in:" matches the folder by identity: named through a link, it still prefers its files.
    for (const std::string& folder : {keep, tree.Path("keep-link"), tree.Root() + "./keep//"}) {
        TRealFolders real;
        const std::vector<TKeepRule> rules{{TKeepRuleKind::In, folder},
                                           {TKeepRuleKind::LongestPath, {}}};
        const TKeepChoice choice = TKeepRules(rules, real).Choose(group, real);
        EXPECT_EQ(choice.Kept, 3u)
            << "in:" << folder << " then longest-path, decided by " << choice.DecidedBy;
    }
}

} // namespace
} // namespace parvex
