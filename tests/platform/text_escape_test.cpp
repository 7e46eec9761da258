// Escaping of names and paths for the text format and for messages.

#include "platform/text_escape.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using parvex::EscapedForText;

TEST(CliTextEscapeTest, EscapesControlBytesDeleteAndBackslashOnly) {
    using namespace std::string_literals;
    const struct {
        std::string Bytes;
        std::string Expected;
    } cases[] = {
        {"", ""},
        {"plain name.txt", "plain name.txt"},
        {"a\nb", "a\\nb"},
        {"\tlead", "\\tlead"},
        {"cr\r", "cr\\r"},
        {"back\\slash", "back\\\\slash"},
        {"\\n", "\\\\n"},
        {"\x01\x1f", "\\x01\\x1f"},
        {"\x7f", "\\x7f"},
        {"nul\0byte"s, "nul\\x00byte"},
        {"\x1b[31m", "\\x1b[31m"},
        {"\x0b\x0c", "\\x0b\\x0c"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},
        {"caf\xe9-\xff\x80", "caf\xe9-\xff\x80"},
        {" ~!\"'$*?;", " ~!\"'$*?;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapedForText(c.Bytes), c.Expected) << "bytes [" << c.Bytes << "]";
}

TEST(CliTextEscapeTest, EveryByteBelowSpaceBecomesOneEscape) {
    for (int byte = 0; byte < 0x20; ++byte) {
        const std::string escaped = EscapedForText(std::string(1, static_cast<char>(byte)));
        ASSERT_FALSE(escaped.empty());
        EXPECT_EQ(escaped.front(), '\\') << "byte " << byte;
        EXPECT_EQ(escaped.find_first_of(std::string("\n\t\r\0", 4)), std::string::npos)
            << "byte " << byte << " gave [" << escaped << "]";
        EXPECT_TRUE(escaped.size() == 2 || escaped.size() == 4) << escaped;
    }
}

TEST(CliTextEscapeTest, AppendKeepsWhatIsThere) {
    std::string out = "head:";
    parvex::AppendEscapedForText(out, "a\tb");
    EXPECT_EQ(out, "head:a\\tb");
}

} // namespace
