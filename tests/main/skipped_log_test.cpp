#include "main/skipped_log.h"

#include <gtest/gtest.h>
#include <string>

namespace parvex {
namespace {

TEST(SkippedLog, KeepsTheFirstThousandInOrderAndCountsEveryOne) {
    TSkippedLog log;
    EXPECT_EQ(log.Count(), 0u);
    for (int i = 0; i < 1005; ++i)
        log.Add("/t/" + std::to_string(i), "Permission denied");
    EXPECT_EQ(log.Count(), 1005u);
    ASSERT_EQ(log.Entries().size(), TSkippedLog::KeptEntries);
    EXPECT_EQ(log.Entries().front().Path, "/t/0");
    EXPECT_EQ(log.Entries().back().Path, "/t/999");
    EXPECT_EQ(log.Entries().back().Reason, "Permission denied");
}

TEST(SkippedLog, ClearForgetsEverything) {
    TSkippedLog log;
    log.Add("/t/a", "No such file or directory");
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_TRUE(log.Entries().empty());
    log.Add("/t/b", "Input/output error");
    EXPECT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.Entries().front().Path, "/t/b");
}

} // namespace
} // namespace parvex
