// Saved lists of keep rules in the settings document: written and read back whole, unknown rule
// texts included, and named, renamed and taken out.
#include "VelPigger/velpigger.h"
#include "file_actions/keep_presets.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

TKeepPresets ThroughText(const TKeepPresets& presets) {
    TVelPigger root;
    root.SetName("SETTINGS");
    (new TVelPigger(&root))->SetName("OTHER");
    presets.Write(root);
    TVelPigger read;
    read.LoadFromText(root.SaveToText());
    EXPECT_NE(read.FindChild("OTHER"), nullptr) << "the rest of the document went";
    return TKeepPresets::Read(read);
}

TEST(KeepPresetsTest, PresetsGoThroughTheSettingsDocumentInOrderWithUnknownRulesKept) {
    TKeepPresets presets;
    ASSERT_TRUE(presets.Save("Photos", {"in:/home/u/Photos/", "oldest", "shortest-path"}));
    ASSERT_TRUE(presets.Save("odd \"name\" <&>", {"biggest", "glob:*%41*"}));
    presets.SetLastUsed("Photos");
    const TKeepPresets read = ThroughText(presets);
    EXPECT_EQ(read.All(), presets.All());
    EXPECT_EQ(read.LastUsed(), "Photos");
    // Written again as read, the section is the same.
    EXPECT_EQ(ThroughText(read).All(), presets.All());
    TVelPigger empty;
    EXPECT_TRUE(TKeepPresets::Read(empty).All().empty());
}

TEST(KeepPresetsTest, SavingRenamingAndRemovingFollowTheNames) {
    enum TEdit { Save, Rename, Remove };
    const struct {
        const char* What;
        TEdit Edit;
        std::string Name;
        std::string Other;
        bool Done;
        std::vector<std::string> Names;
        std::string LastUsed;
    } cases[] = {
        {"a new name is added last", Save, "c", {}, true, {"a", "b", "c"}, "b"},
        {"an old name is replaced in place", Save, "a", {}, true, {"a", "b"}, "b"},
        {"no empty name", Save, "", {}, false, {"a", "b"}, "b"},
        {"renamed, the last used follows", Rename, "b", "z", true, {"a", "z"}, "z"},
        {"renamed to itself", Rename, "a", "a", true, {"a", "b"}, "b"},
        {"not to another's name", Rename, "a", "b", false, {"a", "b"}, "b"},
        {"not to nothing", Rename, "a", "", false, {"a", "b"}, "b"},
        {"not from a missing one", Rename, "x", "y", false, {"a", "b"}, "b"},
        {"removed", Remove, "a", {}, true, {"b"}, "b"},
        {"the last used removed", Remove, "b", {}, true, {"a"}, ""},
    };
    for (const auto& c : cases) {
        TKeepPresets presets;
        ASSERT_TRUE(presets.Save("a", {"oldest"}));
        ASSERT_TRUE(presets.Save("b", {"newest"}));
        presets.SetLastUsed("b");
        bool done = true;
        switch (c.Edit) {
        case Save:
            done = presets.Save(c.Name, {"first"});
            break;
        case Rename:
            done = presets.Rename(c.Name, c.Other);
            break;
        case Remove:
            presets.Remove(c.Name);
            break;
        }
        EXPECT_EQ(done, c.Done) << c.What;
        std::vector<std::string> names;
        for (const TKeepPreset& preset : presets.All())
            names.push_back(preset.Name);
        EXPECT_EQ(names, c.Names) << c.What;
        EXPECT_EQ(presets.LastUsed(), c.LastUsed) << c.What;
        if (c.Edit == Save && c.Done) {
            EXPECT_EQ(presets.Find(c.Name)->Rules, std::vector<std::string>{"first"}) << c.What;
        }
    }
}

} // namespace
} // namespace parvex
