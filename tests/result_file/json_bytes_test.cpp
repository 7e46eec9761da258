// Byte strings in the JSON result: UTF-8 as it is, anything else as base64.

#include "result_file/json_bytes.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

namespace {

using parvex::Base64Of;
using parvex::BytesOfBase64;
using parvex::IsValidUtf8;

TEST(JsonBytesTest, Utf8IsWellFormedOnly) {
    for (const char* text : {"", "plain.txt", "caf\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80",
                             "\xef\xbf\xbf", "\xf4\x8f\xbf\xbf", "\x7f", "a\tb"})
        EXPECT_TRUE(IsValidUtf8(text)) << "[" << text << "]";
    for (const char* text : {"caf\xe9", "\xff", "\x80", "\xc3", "\xc0\xaf", "\xc1\xbf",
                             "\xe0\x80\xaf", "\xed\xa0\x80", "\xf0\x80\x80\xaf", "\xf4\x90\x80\x80",
                             "\xf5\x80\x80\x80", "\xe2\x82", "\xe2\x28\xa1", "\xf0\x9f\x98"})
        EXPECT_FALSE(IsValidUtf8(text)) << "[" << text << "]";
}

TEST(JsonBytesTest, Base64IsTheStandardAlphabetWithPadding) {
    const struct {
        std::string Bytes;
        std::string Text;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe\xfd", "//79"},
        {std::string("\0\0", 2), "AAA="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Base64Of(c.Bytes), c.Text) << "[" << c.Bytes << "]";
        EXPECT_EQ(BytesOfBase64(c.Text), c.Bytes) << "[" << c.Text << "]";
    }
}

TEST(JsonBytesTest, MemberIsTextOrBase64OfTheExactBytes) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    parvex::SetBytesMember(object, "path", "/t/caf\xc3\xa9");
    parvex::SetBytesMember(object, "name", "caf\xe9");
    EXPECT_EQ(object.dump(), R"({"path":"/t/café","name_b64":"Y2Fm6Q=="})");
}

TEST(JsonBytesTest, Base64ThatIsNotStandardReadsAsNothing) {
    for (const char* text : {"Zg=", "Zg", "Z===", "Zm=v", "Zm9v!A==", "=Zm9", "Zg==Zg=="})
        EXPECT_EQ(BytesOfBase64(text), std::nullopt) << "[" << text << "]";
}

} // namespace
