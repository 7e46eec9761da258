#include "settings/settings_node.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace parvex {
namespace {

std::string Chain(int Levels) {
    std::string text;
    for (int i = 0; i < Levels; ++i) {
        text += "<L>";
    }
    for (int i = 0; i < Levels; ++i) {
        text += "</L>";
    }
    return text;
}

int Levels(const TVelPigger& Root) {
    int levels = 1;
    for (const TVelPigger* node = &Root; node->ChildCount() > 0; node = node->GetChild(0)) {
        ++levels;
    }
    return levels;
}

TEST(SettingsNodeTest, ReadsUpTo32LevelsAndStopsBelow) {
    TSettingsNode root;
    root.LoadFromText(Chain(kMaxSettingsLevels));
    EXPECT_EQ(Levels(root), kMaxSettingsLevels);
    EXPECT_NE(dynamic_cast<TSettingsNode*>(root.GetChild(0)), nullptr);
    try {
        root.LoadFromText(Chain(kMaxSettingsLevels + 1));
        ADD_FAILURE() << "a 33rd level was read";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "nested deeper than 32 levels");
    }
    EXPECT_EQ(Levels(root), kMaxSettingsLevels) << "reading stopped at the level too deep";
}

TEST(SettingsNodeTest, BuildingDeeperByHandAndCopyingStayAllowed) {
    TSettingsNode root;
    root.SetName("ROOT");
    TVelPigger* node = &root;
    for (int i = 0; i < 40; ++i) {
        node = new TVelPigger(node);
        node->SetName("L");
    }
    TSettingsNode copy;
    copy.Assign(root);
    EXPECT_EQ(Levels(copy), 41);
    EXPECT_EQ(copy.ClassName(), "TSettingsNode");
    EXPECT_EQ(copy.GetChild(0)->ClassName(), "TVelPigger") << "children keep their own class";
}

} // namespace
} // namespace parvex
