#include "_compearer/count_text.h"

#include <gtest/gtest.h>
#include <optional>

namespace parvex {
namespace {

TEST(CountText, DecimalDigitsUpToTheLargest) {
    const struct {
        const char* Text;
        std::optional<int> Count;
    } cases[] = {
        {"0", 0},
        {"7", 7},
        {"007", 7},
        {"64", 64},
        {"65", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1K", std::nullopt},
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCountText(c.Text, 64), c.Count) << '"' << c.Text << '"';
}

} // namespace
} // namespace parvex
