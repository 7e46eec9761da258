#include "main/input_text.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(TrimmedOfBlanks, KeepsInnerBlanksAndNonAsciiLetters) {
    EXPECT_EQ(TrimmedOfBlanks(QStringLiteral(" \t Über alles \n")), QStringLiteral("Über alles"));
    EXPECT_EQ(TrimmedOfBlanks(QStringLiteral("\x02\x03")), QString());
}

} // namespace
} // namespace parvex
