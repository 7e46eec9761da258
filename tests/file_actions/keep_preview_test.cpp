// The figures of a plan made by keep rules: files and bytes acted on, and what decided.
#include "file_actions/keep_preview.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

TResultFileFacts Copy(std::string path, std::int64_t size, std::int64_t modifiedNs,
                      bool allNamesFound = true) {
    TResultFileFacts file;
    file.Path = std::move(path);
    file.Size = size;
    file.ModifiedNs = modifiedNs;
    file.AllNamesFound = allNamesFound;
    return file;
}

TEST(KeepPreviewTest, FiguresCountWhatThePlanActsOnAndWhatDecidedEachGroup) {
    TTempTree tree;
    const std::string safe = tree.Folder("safe");
    const auto at = [&tree](const char* relative) { return tree.Path(relative); };
    const std::vector<TResultGroupFacts> groups{
        {"times differ",
         {},
         {Copy(at("w/a"), 10, 1), Copy(at("w/b"), 10, 2), Copy(at("w/c"), 10, 3, false)}},
        {"a protected copy", {}, {Copy(at("w/d"), 7, 1), Copy(at("safe/d"), 7, 1)}},
        {"all alike", {}, {Copy(at("w/e"), 5, 1), Copy(at("w/f"), 5, 1)}},
    };
    const struct {
        std::vector<TKeepRule> Rules;
        TKeepPreview Expected; // files, bytes, protected groups, found order groups
        std::vector<bool> Acted;
    } cases[] = {
        {{{TKeepRuleKind::Newest, {}}},
         {4, 10 + 10 + 7 + 5, 1, 1},
         {true, true, false, true, false, false, true}},
        {{{TKeepRuleKind::Oldest, {}}},
         {4, 10 + 7 + 5, 1, 1},
         {false, true, true, true, false, false, true}},
        {{{TKeepRuleKind::First, {}}},
         {4, 10 + 7 + 5, 1, 2},
         {false, true, true, true, false, false, true}},
    };
    for (const auto& c : cases) {
        TRealFolders real;
        const TActionPlan plan = MakeActionPlan(groups, {c.Rules, {safe}, false, {}}, real);
        const TKeepPreview preview = PreviewOfPlan(plan, groups);
        EXPECT_EQ(preview, c.Expected)
            << KeepRuleText(c.Rules.front()) << ": " << preview.Files << " files, " << preview.Bytes
            << " bytes, " << preview.ProtectedGroups << " protected, " << preview.FoundOrderGroups
            << " by found order";
        EXPECT_EQ(ActedOn(plan), c.Acted) << KeepRuleText(c.Rules.front());
    }
}

} // namespace
} // namespace parvex
