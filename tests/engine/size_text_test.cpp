#include "_compearer/size_text.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace parvex {
namespace {

TEST(SizeText, BytesOrDecimalUnits) {
    const struct {
        const char* Text;
        std::int64_t Bytes;
    } cases[] = {
        {"0", 0},
        {"4096", 4096},
        {"10K", 10000},
        {"10k", 10000},
        {"1.5M", 1500000},
        {"2G", 2000000000},
        {"0.001K", 1},
        {".5K", 500},
        {"1.000", 1},
        {"1.25G", 1250000000},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"9223372036G", 9223372036000000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseSizeText(c.Text), std::optional<std::int64_t>(c.Bytes)) << c.Text;
}

TEST(SizeText, AnythingElseIsNoSize) {
    for (const char* text : {"",
                             "K",
                             ".",
                             ".K",
                             "1.",
                             "1.K",
                             "-1",
                             "+1",
                             " 1",
                             "1 ",
                             "1KB",
                             "1T",
                             "1.5",
                             "0.0001K",
                             "1,5M",
                             "1e3",
                             "0x10",
                             "9223372036854775808",
                             "9223372037G",
                             "1.2.3K"})
        EXPECT_EQ(ParseSizeText(text), std::nullopt) << "[" << text << "]";
}

} // namespace
} // namespace parvex
