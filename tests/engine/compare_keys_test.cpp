#include "_compearer/compare_keys.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

constexpr TCompareKeys Keys(bool name, bool size, bool time, bool content) {
    return {.Name = name, .Size = size, .Time = time, .Content = content};
}

TEST(CompareKeys, ParsesEveryListAsTheTableSays) {
    const struct {
        const char* Text;
        bool Valid;
        TCompareKeys Keys;
        const char* BadPiece;
    } cases[] = {
        {"none", true, Keys(false, false, false, false), ""},
        {"name", true, Keys(true, false, false, false), ""},
        {"size", true, Keys(false, true, false, false), ""},
        {"time", true, Keys(false, false, true, false), ""},
        {"content", true, Keys(false, false, false, true), ""},
        {"size,time,content", true, Keys(false, true, true, true), ""},
        {"content,name", true, Keys(true, false, false, true), ""},
        {"size,size", true, Keys(false, true, false, false), ""},
        {"", false, {}, ""},
        {"size,,content", false, {}, ""},
        {"size,", false, {}, ""},
        {"colour", false, {}, "colour"},
        {"none,size", false, {}, "none"},
        {"Size", false, {}, "Size"},
        {"size ", false, {}, "size "},
        {"name,size\ntime", false, {}, "size\ntime"},
    };
    for (const auto& c : cases) {
        const TCompareKeysParse parsed = ParseCompareKeys(c.Text);
        EXPECT_EQ(parsed.Valid, c.Valid) << "list \"" << c.Text << "\"";
        EXPECT_EQ(parsed.Keys, c.Keys) << "list \"" << c.Text << "\"";
        EXPECT_EQ(parsed.BadPiece, c.BadPiece) << "list \"" << c.Text << "\"";
    }
}

TEST(CompareKeys, EverySubsetIsWrittenInOrderAndReadBack) {
    for (unsigned bits = 0; bits < 16; ++bits) {
        const TCompareKeys keys = Keys(bits & 1, bits & 2, bits & 4, bits & 8);
        const std::string text = FormatCompareKeys(keys);
        const TCompareKeysParse parsed = ParseCompareKeys(text);
        EXPECT_TRUE(parsed.Valid) << text;
        EXPECT_EQ(parsed.Keys, keys) << text;
    }
    EXPECT_EQ(FormatCompareKeys({}), "none");
    EXPECT_EQ(FormatCompareKeys(Keys(true, true, true, true)), "name,size,time,content");
    EXPECT_EQ(FormatCompareKeys(Keys(false, true, false, true)), "size,content");
}

TEST(CompareKeys, TheSettingsDialogBringsNameBackAndSizeWithContent) {
    const struct {
        TCompareKeys Checked, Kept;
    } cases[] = {
        {Keys(false, false, false, false), Keys(true, false, false, false)},
        {Keys(false, false, false, true), Keys(false, true, false, true)},
        {Keys(true, false, false, true), Keys(true, true, false, true)},
        {Keys(false, false, true, false), Keys(false, false, true, false)},
        {Keys(false, true, true, true), Keys(false, true, true, true)},
        {Keys(true, false, true, false), Keys(true, false, true, false)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatCompareKeys(WithSettingsDialogRules(c.Checked)), FormatCompareKeys(c.Kept))
            << "checked " << FormatCompareKeys(c.Checked);
}

TEST(CompareKeys, EachNameReachesItsOwnSwitch) {
    TCompareKeys keys;
    for (const std::string_view name : CompareKeyNames) {
        bool* key = CompareKeyNamed(keys, name);
        ASSERT_NE(key, nullptr) << name;
        *key = true;
        EXPECT_EQ(FormatCompareKeys(keys).substr(FormatCompareKeys(keys).rfind(',') + 1), name);
    }
    EXPECT_EQ(CompareKeyNamed(keys, "NAME"), nullptr);
}

} // namespace
} // namespace parvex
