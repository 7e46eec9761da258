// Which exit status a run's outcome gives.

#include "cli/exit_status.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

using parvex::TRunOutcome;

TEST(CliExitStatusTest, ErrorThenStopThenUnreadThenComplete) {
    const struct {
        TRunOutcome Outcome;
        int Expected;
    } cases[] = {
        {{false, 0, false}, 0},        {{false, 0, true}, 3},        {{false, SIGINT, false}, 130},
        {{false, SIGTERM, true}, 143}, {{false, SIGHUP, true}, 129}, {{true, 0, false}, 1},
        {{true, 0, true}, 1},          {{true, SIGTERM, true}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parvex::ExitStatusOf(c.Outcome), c.Expected)
            << "failed " << c.Outcome.Failed << ", signal " << c.Outcome.StopSignal << ", unread "
            << c.Outcome.SomethingUnread;
}

} // namespace
