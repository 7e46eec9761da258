// The one-line messages parvex-cli writes to standard error.

#include "cli/cli_messages.h"

#include <gtest/gtest.h>

namespace {

TEST(CliMessagesTest, UnreadMessageIsOneLineWhateverThePath) {
    EXPECT_EQ(parvex::UnreadMessage("/t/secret", "Permission denied"),
              "parvex-cli: cannot read /t/secret: Permission denied\n");
    EXPECT_EQ(parvex::UnreadMessage("/t/x\n\tforged\\", "Input/output error"),
              "parvex-cli: cannot read /t/x\\n\\tforged\\\\: Input/output error\n");
}

TEST(CliMessagesTest, QuotedEscapesAsTheTextFormat) {
    EXPECT_EQ(parvex::Quoted("--bad\noption"), "'--bad\\noption'");
    EXPECT_EQ(parvex::Quoted(""), "''");
}

} // namespace
