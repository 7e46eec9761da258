// A list of keep rules being edited: lines added, removed and moved; texts that name no rule
// stay until removed and keep the list from being used.
#include "file_actions/keep_rule_list.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : " ") + text;
    return joined;
}

TEST(KeepRuleListTest, EditsChangeTheOrderAndOnlyAListOfKnownRulesIsUsable) {
    enum TEdit { Add, Remove, Up, Down };
    const struct {
        const char* What;
        std::vector<std::string> Start;
        TEdit Edit;
        std::size_t Line;
        std::string Texts;
        std::size_t Place; // the line's place after a move or an addition
        bool Usable;
    } cases[] = {
        {"added at the end", {"oldest"}, Add, 0, "oldest newest", 1, true},
        {"added to nothing", {}, Add, 0, "newest", 0, true},
        {"removed", {"oldest", "first"}, Remove, 0, "first", 0, true},
        {"the last removed leaves nothing to use", {"oldest"}, Remove, 0, "", 0, false},
        {"removing past the end changes nothing", {"oldest"}, Remove, 3, "oldest", 0, true},
        {"moved up", {"oldest", "first", "in:/a/"}, Up, 2, "oldest in:/a/ first", 1, true},
        {"moved down", {"oldest", "first", "in:/a/"}, Down, 0, "first oldest in:/a/", 1, true},
        {"the first stays first", {"oldest", "first"}, Up, 0, "oldest first", 0, true},
        {"the last stays last", {"oldest", "first"}, Down, 1, "oldest first", 1, true},
        {"an unknown text stays and blocks",
         {"biggest", "oldest"},
         Down,
         0,
         "oldest biggest",
         1,
         false},
        {"removing the unknown text mends", {"oldest", "biggest"}, Remove, 1, "oldest", 0, true},
    };
    for (const auto& c : cases) {
        TKeepRuleList list(c.Start);
        std::size_t place = 0;
        switch (c.Edit) {
        case Add:
            place = list.Add({TKeepRuleKind::Newest, {}});
            break;
        case Remove:
            list.Remove(c.Line);
            break;
        case Up:
        case Down:
            place = list.Move(c.Line, c.Edit == Up);
            break;
        }
        EXPECT_EQ(Joined(list.Texts()), c.Texts) << c.What;
        if (c.Edit != Remove) {
            EXPECT_EQ(place, c.Place) << c.What;
        }
        EXPECT_EQ(list.Rules().has_value(), c.Usable)
            << c.What << ": " << list.UnknownCount() << " unknown lines";
    }
}

} // namespace
} // namespace parvex
