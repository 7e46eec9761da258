#include "_compearer/descriptor_budget.h"
#include "support/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

int OpenNull() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

TEST(DescriptorBudget, HoldsAtMostItsLimitClosingTheLeastRecentlyUsed) {
    TDescriptorBudget budget;
    budget.SetLimit(3);
    std::vector<TBudgetFd> fds(4);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(budget.Open(fds[i], OpenNull));
    budget.Touch(fds[0]); // now fds[1] is the least recently used
    ASSERT_TRUE(budget.Open(fds[3], OpenNull));
    EXPECT_TRUE(fds[0]);
    EXPECT_FALSE(fds[1]);
    EXPECT_TRUE(fds[2]);
    EXPECT_TRUE(fds[3]);
}

TEST(DescriptorBudget, AHeldDescriptorMayMove) {
    TDescriptorBudget budget;
    budget.SetLimit(2);
    TBudgetFd first, second;
    ASSERT_TRUE(budget.Open(first, OpenNull));
    TBudgetFd moved(std::move(first));
    EXPECT_FALSE(first);
    ASSERT_TRUE(budget.Open(second, OpenNull));
    TBudgetFd third;
    ASSERT_TRUE(budget.Open(third, OpenNull));
    EXPECT_FALSE(moved); // the oldest, closed through its new place
    EXPECT_TRUE(second);
}

TEST(DescriptorBudget, WhenTheSystemRefusesTheOldestGiveWayAndTheNewestStays) {
    const testing::TChildRun run = testing::RunInChild(
        [] {
            // Room for the standard streams, the answer's pipe and three more.
            const rlimit low{8, 8};
            return ::setrlimit(RLIMIT_NOFILE, &low) == 0 ? "" : "cannot lower the limit";
        },
        [] {
            TDescriptorBudget budget;
            budget.SetLimit(100);
            std::vector<TBudgetFd> fds(10);
            int opened = 0;
            for (TBudgetFd& fd : fds)
                opened += budget.Open(fd, OpenNull) ? 1 : 0;
            int held = 0;
            for (const TBudgetFd& fd : fds)
                held += fd ? 1 : 0;
            return std::to_string(opened) + " opened, " + std::to_string(held) + " held, last " +
                   (fds.back() ? "held" : "closed");
        });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output.substr(0, 10), "10 opened,");
    EXPECT_NE(run.Output.find("last held"), std::string::npos) << run.Output;
}

} // namespace
} // namespace parvex
