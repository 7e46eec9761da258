#include "main/input_text.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

struct TStartPathCase {
    const char* typed;
    const char* normalized;
};

TEST(NormalizedStartPath, TrimsBlanksAndControlsAddsTheSlashKeepsTheCase) {
    const TStartPathCase cases[] = {
        {"  /home/Ann/Photos  ", "/home/Ann/Photos/"},
        {"\t/srv/Data/\r\n", "/srv/Data/"},
        {"\x01/tmp\x7f", "/tmp/"},
        {"/", "/"},
        {"", "/"},
        {"   ", "/"},
        {"/a b/c d", "/a b/c d/"},
        {"relative/dir", "relative/dir/"},
    };
    for (const TStartPathCase& c : cases)
        EXPECT_EQ(NormalizedStartPath(QString::fromUtf8(c.typed)).toStdString(), c.normalized)
            << "typed \"" << c.typed << "\"";
}

TEST(TrimmedOfBlanks, KeepsInnerBlanksAndNonAsciiLetters) {
    EXPECT_EQ(TrimmedOfBlanks(QStringLiteral(" \t Über alles \n")), QStringLiteral("Über alles"));
    EXPECT_EQ(TrimmedOfBlanks(QStringLiteral("\x02\x03")), QString());
}

} // namespace
} // namespace parvex
