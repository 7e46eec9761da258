#include "_compearer/read_probe.h"
#include "engine/direct_read_check.h"
#include "engine/round_clock.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

using std::chrono::milliseconds;

constexpr long long MiB = 1024 * 1024;

// A temporary folder of sparse files (quick to make, read as zeros) for the probe to read.
class ReadProbe : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string probe = tree_.SparseFile("probe", MiB, 'x');
        if (!testing::DirectReadsWork(probe))
            GTEST_SKIP() << "the temporary folder " << tree_.Root() << " refuses direct reads";
    }
    // `count` files of `bytes` each.
    std::vector<std::string> Files(int count, long long bytes) {
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i)
            files.push_back(tree_.SparseFile("f" + std::to_string(files_++) + ".bin", bytes, 'x'));
        return files;
    }

    testing::TTempTree tree_;
    int files_ = 0;
};

TEST_F(ReadProbe, TimesBothWaysWithTheGivenClockAndKeepsEachWaysBestRound) {
    const testing::TRoundClock clock({milliseconds(10), milliseconds(6), milliseconds(8)},
                                     {milliseconds(9), milliseconds(12), milliseconds(4)});
    const std::optional<TReadProbeTimings> timings =
        ProbeParallelReads(Files(4, 64 * MiB), 4, clock.Clock());
    ASSERT_TRUE(timings.has_value());
    EXPECT_EQ(timings->serial, milliseconds(6));
    EXPECT_EQ(timings->parallel, milliseconds(4));
    EXPECT_EQ(timings->regionsEach, 4);
    EXPECT_EQ(timings->bytesEach, 4 * ProbeRegionBytes);
}

TEST_F(ReadProbe, ReadsAtMostSixteenMiBInAll) {
    const std::vector<std::string> files = Files(16, 64 * MiB);
    for (const int readers : {2, 4, 8}) {
        const testing::TRoundClock clock({milliseconds(1)}, {milliseconds(1)});
        const std::optional<TReadProbeTimings> timings =
            ProbeParallelReads(files, readers, clock.Clock());
        ASSERT_TRUE(timings.has_value()) << readers << " readers";
        EXPECT_EQ(timings->regionsEach, readers);
        EXPECT_LE(2 * timings->rounds * timings->bytesEach, 16 * MiB) << readers << " readers";
        EXPECT_EQ(timings->rounds, readers == 8 ? 4 : 8) << readers << " readers";
    }
}

TEST_F(ReadProbe, ReadsWithAtMostEightThreads) {
    const testing::TRoundClock clock({milliseconds(1)}, {milliseconds(1)});
    const std::optional<TReadProbeTimings> timings =
        ProbeParallelReads(Files(16, 64 * MiB), 32, clock.Clock());
    ASSERT_TRUE(timings.has_value());
    EXPECT_EQ(timings->regionsEach, 8);
}

TEST_F(ReadProbe, StopsWhenItsTimeIsSpent) {
    const testing::TRoundClock clock({milliseconds(100)}, {milliseconds(100)});
    const std::optional<TReadProbeTimings> timings =
        ProbeParallelReads(Files(4, 64 * MiB), 4, clock.Clock());
    ASSERT_TRUE(timings.has_value());
    EXPECT_EQ(timings->rounds, 1) << "one round took 200 ms";
    EXPECT_EQ(clock.Calls(), 6);
}

TEST_F(ReadProbe, StopsWhenTheFilesHoldNoFreshRegions) {
    const testing::TRoundClock clock({milliseconds(1)}, {milliseconds(1)});
    // 20 regions of 256 KiB: two rounds of four regions each way, and four left over.
    const std::optional<TReadProbeTimings> timings =
        ProbeParallelReads(Files(1, 5 * MiB), 4, clock.Clock());
    ASSERT_TRUE(timings.has_value());
    EXPECT_EQ(timings->rounds, 2);
    EXPECT_EQ(timings->regionsEach, 4);
}

TEST_F(ReadProbe, FewRegionsGiveOneSmallerRound) {
    const testing::TRoundClock clock({milliseconds(1)}, {milliseconds(1)});
    // Five whole regions: two each way.
    const std::optional<TReadProbeTimings> timings =
        ProbeParallelReads(Files(1, 5 * ProbeRegionBytes + 1000), 8, clock.Clock());
    ASSERT_TRUE(timings.has_value());
    EXPECT_EQ(timings->rounds, 1);
    EXPECT_EQ(timings->regionsEach, 2);
}

TEST_F(ReadProbe, IsImpossibleWithoutTwoRegionsForEachWay) {
    const testing::TRoundClock clock({milliseconds(1)}, {milliseconds(1)});
    EXPECT_EQ(ProbeParallelReads({}, 4, clock.Clock()), std::nullopt) << "no files";
    EXPECT_EQ(ProbeParallelReads(Files(1, 4 * ProbeRegionBytes - 1), 4, clock.Clock()),
              std::nullopt)
        << "three whole regions";
    EXPECT_EQ(ProbeParallelReads(Files(8, ProbeRegionBytes - 4096), 4, clock.Clock()), std::nullopt)
        << "files shorter than a region";
    EXPECT_EQ(ProbeParallelReads(Files(4, 64 * MiB), 1, clock.Clock()), std::nullopt)
        << "one reader has nothing to compare";
    EXPECT_EQ(clock.Calls(), 0);
}

TEST_F(ReadProbe, LeavesOutWhatIsNoReadableRegularFile) {
    const testing::TRoundClock clock({milliseconds(1)}, {milliseconds(1)});
    tree_.Fifo("fifo");
    tree_.Folder("folder");
    std::vector<std::string> files = {tree_.Path("missing"), tree_.Path("fifo"),
                                      tree_.Path("folder")};
    EXPECT_EQ(ProbeParallelReads(files, 4, clock.Clock()), std::nullopt);
    // A FIFO among the files neither blocks the probe nor stops it.
    const std::vector<std::string> big = Files(1, 4 * MiB);
    files.push_back(big.front());
    const std::optional<TReadProbeTimings> timings = ProbeParallelReads(files, 4, clock.Clock());
    ASSERT_TRUE(timings.has_value());
    EXPECT_EQ(timings->regionsEach, 4);
}

} // namespace
} // namespace parvex
