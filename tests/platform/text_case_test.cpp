#include "platform/text_case.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(TextCase, UpperAsciiChangesOnlyAToZ) {
    EXPECT_EQ(UpperAscii("abcxyz ABC 09_-"), "ABCXYZ ABC 09_-");
    EXPECT_EQ(UpperAscii("\xc3\xa4\xff{}`@"), "\xc3\xa4\xff{}`@");
}

TEST(TextCase, EqualsIgnoringAsciiCase) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Read.Me", "rEAD.mE"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("readme", "readme2"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xc3\xa4", "\xc3\x84"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{")); // 0x5B and 0x7B differ only by bit 5
    EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
}

} // namespace
} // namespace parvex
