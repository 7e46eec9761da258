#include "_compearer/descriptor_cache.h"
#include "support/child_process.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

int OpenNull() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

// Runs `body` in a child process that may hold at most `limit` descriptors.
testing::TChildRun WithDescriptorLimit(rlim_t limit, const std::function<std::string()>& body) {
    return testing::RunInChild(
        [limit]() -> std::string {
            const rlimit low{limit, limit};
            return ::setrlimit(RLIMIT_NOFILE, &low) == 0 ? "" : "cannot lower the limit";
        },
        body);
}

TEST(DescriptorCache, HoldsAtMostItsGrantClosingTheLeastRecentlyUsed) {
    TDescriptorBudget budget(10);
    TDescriptorCache cache(budget.TryTake(3, 3), {});
    EXPECT_EQ(cache.Limit(), 3U);
    EXPECT_EQ(budget.Free(), 7U);
    std::vector<TBudgetFd> fds(4);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(cache.Open(fds[i], OpenNull));
    cache.Touch(fds[0]); // now fds[1] is the least recently used
    ASSERT_TRUE(cache.Open(fds[3], OpenNull));
    EXPECT_TRUE(fds[0]);
    EXPECT_FALSE(fds[1]);
    EXPECT_TRUE(fds[2]);
    EXPECT_TRUE(fds[3]);
}

// A descriptor set aside for its holder leaves the cache one fewer, the oldest closing when the
// cache is full; it never leaves fewer than asked, and it comes back when put back.
TEST(DescriptorCache, ADescriptorSetAsideLeavesTheCacheOneFewer) {
    TDescriptorBudget budget(10);
    TDescriptorCache cache(budget.TryTake(3, 3), {});
    std::vector<TBudgetFd> fds(3);
    for (TBudgetFd& fd : fds)
        ASSERT_TRUE(cache.Open(fd, OpenNull));
    ASSERT_TRUE(cache.SetAside(2));
    EXPECT_EQ(cache.Limit(), 2U);
    EXPECT_FALSE(fds[0]);
    EXPECT_TRUE(fds[1] && fds[2]);
    EXPECT_FALSE(cache.SetAside(2));
    EXPECT_EQ(cache.Limit(), 2U);
    cache.PutBack();
    EXPECT_EQ(cache.Limit(), 3U);
    ASSERT_TRUE(cache.Open(fds[0], OpenNull));
    EXPECT_TRUE(fds[0] && fds[1] && fds[2]);
}

TEST(DescriptorCache, AHeldDescriptorMayMove) {
    TDescriptorBudget budget(10);
    TDescriptorCache cache(budget.TryTake(2, 2), {});
    TBudgetFd first, second;
    ASSERT_TRUE(cache.Open(first, OpenNull));
    TBudgetFd moved(std::move(first));
    EXPECT_FALSE(first);
    ASSERT_TRUE(cache.Open(second, OpenNull));
    TBudgetFd third;
    ASSERT_TRUE(cache.Open(third, OpenNull));
    EXPECT_FALSE(moved); // the oldest, closed through its new place
    EXPECT_TRUE(second);
}

TEST(DescriptorCache, ItsDescriptorsCloseBeforeItsGrantGoesBack) {
    TDescriptorBudget budget(4);
    TBudgetFd outlived;
    {
        TDescriptorCache cache(budget.TryTake(4, 4), {});
        ASSERT_TRUE(cache.Open(outlived, OpenNull));
        EXPECT_EQ(budget.Free(), 0U);
    }
    EXPECT_FALSE(outlived);
    EXPECT_EQ(budget.Free(), 4U);
}

// Something outside the budget holds every descriptor the system allows: the cache first closes
// its own oldest, the newest staying; with nothing of its own to close it waits for room as long
// as it is asked to try, and a lack of descriptors fails an open only once trying is given up.
TEST(DescriptorCache, WhenTheSystemRefusesTheOldestGivesWayOrItWaitsForRoom) {
    const testing::TChildRun run = WithDescriptorLimit(16, [] {
        TDescriptorBudget budget(100);
        std::vector<int> outside;
        const auto takeEveryDescriptor = [&] {
            for (int fd = OpenNull(); fd >= 0; fd = OpenNull())
                outside.push_back(fd);
        };
        int tries = 0;
        TDescriptorCache cache(budget.TryTake(2, 100), [&] {
            if (++tries == 3) { // the third try finds room
                for (const int fd : outside)
                    ::close(fd);
                outside.clear();
            }
            return tries < 5;
        });
        const auto held = [](const TBudgetFd& fd) { return fd ? "held" : "closed"; };
        TBudgetFd a, b, c, d, e;
        if (!cache.Open(a, OpenNull) || !cache.Open(b, OpenNull))
            return std::string("cannot open the first two");
        takeEveryDescriptor();
        const bool cOpened = cache.Open(c, OpenNull);
        std::string seen = std::string("c ") + (cOpened ? "opened" : "failed") + ", a " + held(a) +
                           ", b " + held(b) + ", " + std::to_string(tries) + " tries\n";
        b.Close();
        c.Close();
        takeEveryDescriptor();
        const bool dOpened = cache.Open(d, OpenNull);
        seen += std::string("d ") + (dOpened ? "opened" : "failed") + " after " +
                std::to_string(tries) + " tries\n";
        takeEveryDescriptor();
        const bool eOpened = cache.Open(e, OpenNull);
        const int error = errno;
        seen += std::string("e ") + (eOpened ? "opened" : "failed") +
                (error == EMFILE ? " for lack of descriptors" : "") + " after " +
                std::to_string(tries) + " tries, d " + held(d) + "\n";
        return seen;
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "c opened, a closed, b held, 0 tries\n"
                          "d opened after 3 tries\n"
                          "e failed for lack of descriptors after 5 tries, d held\n");
}

} // namespace
} // namespace parvex
