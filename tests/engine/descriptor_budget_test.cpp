#include "_compearer/descriptor_budget.h"
#include "support/child_process.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace parvex {
namespace {

TEST(DescriptorBudget, GrantsNeverExceedTheTotalAndGoBackWhenTheyEnd) {
    TDescriptorBudget budget(10);
    TDescriptorGrant first = budget.TryTake(2, 6);
    EXPECT_EQ(first.Count(), 6U);
    EXPECT_FALSE(budget.TryTake(5, 8)) << "only 4 are free";
    TDescriptorGrant second = budget.TryTake(2, 8);
    EXPECT_EQ(second.Count(), 4U);
    EXPECT_EQ(budget.Free(), 0U);
    {
        const TDescriptorGrant part = first.Split(2);
        EXPECT_EQ(part.Count(), 2U);
        EXPECT_EQ(first.Count(), 4U);
        EXPECT_EQ(budget.Free(), 0U) << "a split grant is still held";
    }
    EXPECT_EQ(budget.Free(), 2U);
    TDescriptorGrant moved = std::move(second);
    EXPECT_EQ(budget.Free(), 2U);
    moved.Release();
    first = {};
    EXPECT_EQ(budget.Free(), 10U);
}

// The process's limit of descriptors bounds every budget, leaving a reserve to the rest of the
// program; a lower cap bounds it further.
TEST(DescriptorBudget, TheProcessLimitLessAReserveIsTheMostGivenOut) {
    const testing::TChildRun run = testing::RunInChild(
        [] {
            const rlimit low{20, 20};
            return ::setrlimit(RLIMIT_NOFILE, &low) == 0 ? "" : "cannot lower the limit";
        },
        [] {
            TDescriptorBudget& process = TDescriptorBudget::Process();
            std::string seen = "under 20: " + std::to_string(process.Total());
            process.SetCap(4);
            seen += ", capped at 4: " + std::to_string(process.Total());
            return seen;
        });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "under 20: 10, capped at 4: 4");
}

// Threads that hold two descriptors each: as many as asked for while the descriptors last, and
// always one.
TEST(DescriptorBudget, ThreadsWithinADescriptorCountHoldTwoEach) {
    const struct {
        std::size_t Threads, Descriptors, Expected;
    } cases[] = {{1, 10, 1}, {4, 10, 4}, {64, 10, 5}, {1024, 10, 5}, {8, 3, 1}, {8, 0, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(ThreadsWithin(c.Threads, c.Descriptors), c.Expected)
            << c.Threads << " threads, " << c.Descriptors << " descriptors";
}

} // namespace
} // namespace parvex
