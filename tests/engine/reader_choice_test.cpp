#include "_compearer/reader_choice.h"
#include "engine/direct_read_check.h"
#include "engine/round_clock.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace parvex {
namespace {

using std::chrono::milliseconds;

TEST(SeveralReaders, TwoPerHardwareThreadBetweenTwoAndEight) {
    struct TCase {
        unsigned hardwareThreads;
        int expected;
    };
    for (const TCase& c : {TCase{0, 2}, TCase{1, 2}, TCase{2, 4}, TCase{3, 6}, TCase{4, 8},
                           TCase{16, 8}, TCase{256, 8}})
        EXPECT_EQ(SeveralReaders(c.hardwareThreads), c.expected)
            << c.hardwareThreads << " hardware threads";
}

TEST(DecideReaderThreads, ARotatingDeviceGetsSeveralReadersOnlyWhenParallelIsClearlyFaster) {
    struct TCase {
        const char* what;
        std::optional<TReadProbeTimings> probe;
        int expected;
    };
    const auto timings = [](int serialMs, int parallelMs) {
        TReadProbeTimings probe;
        probe.serial = milliseconds(serialMs);
        probe.parallel = milliseconds(parallelMs);
        probe.regionsEach = 4;
        probe.rounds = 1;
        return std::optional<TReadProbeTimings>(probe);
    };
    const TCase cases[] = {
        {"twice as fast", timings(20, 10), 4},
        {"1.3 times as fast", timings(13, 10), 4},
        {"just under 1.3 times as fast", timings(129, 100), 1},
        {"equal", timings(10, 10), 1},
        {"slower", timings(10, 25), 1},
        {"probe impossible", std::nullopt, 1},
        {"no time measured", timings(0, 0), 1},
        {"parallel measured no time", timings(5, 0), 1},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DecideReaderThreads(TBlockDeviceKind::Rotating, c.probe, 2), c.expected)
            << c.what;
}

TEST(DecideReaderThreads, SolidAndUnknownDevicesGetSeveralReadersWhateverAProbeSaid) {
    TReadProbeTimings slower;
    slower.serial = milliseconds(10);
    slower.parallel = milliseconds(30);
    for (const TBlockDeviceKind kind : {TBlockDeviceKind::Solid, TBlockDeviceKind::Unknown}) {
        EXPECT_EQ(DecideReaderThreads(kind, std::nullopt, 2), 4);
        EXPECT_EQ(DecideReaderThreads(kind, slower, 2), 4);
        EXPECT_EQ(DecideReaderThreads(kind, std::nullopt, 1), 2);
        EXPECT_EQ(DecideReaderThreads(kind, std::nullopt, 32), 8);
    }
}

// Files in a temporary folder whose device a fake sysfs beside them calls rotating or not, and
// the machine the choice sees: two hardware threads, a clock of scripted rounds.
class ChooseReaderThreadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 4; ++i)
            files_.push_back(tree_.SparseFile("f" + std::to_string(i), 16 * 1024 * 1024, 'x'));
        struct stat status {};
        ASSERT_EQ(::stat(files_.front().c_str(), &status), 0);
        number_ = std::to_string(major(status.st_dev)) + ":" + std::to_string(minor(status.st_dev));
        system_.sysfsRoot = tree_.Path("sys");
        // No mount table: the files' own device number is the one looked up.
        system_.mountInfoPath = tree_.File("mountinfo", "");
        system_.hardwareThreads = 2;
    }
    void SayRotational(const std::string& rotational) {
        tree_.File("sys/dev/block/" + number_ + "/queue/rotational", rotational);
    }
    int Choose(int requested, const testing::TRoundClock& clock) {
        system_.clock = clock.Clock();
        return ChooseReaderThreads(requested, files_, system_);
    }

    testing::TTempTree tree_;
    std::vector<std::string> files_;
    std::string number_;
    TReaderChoiceSystem system_;
};

TEST_F(ChooseReaderThreadsTest, ARequestedCountWins) {
    SayRotational("1\n");
    const testing::TRoundClock fasterInParallel({milliseconds(20)}, {milliseconds(5)});
    for (const int requested : {1, 3, 12}) {
        EXPECT_EQ(Choose(requested, fasterInParallel), requested);
        EXPECT_EQ(ChooseReaderThreads(requested, {}), requested);
    }
    EXPECT_EQ(fasterInParallel.Calls(), 0) << "no probe";
}

TEST_F(ChooseReaderThreadsTest, ASolidDeviceGetsSeveralReadersWithoutAProbe) {
    SayRotational("0\n");
    const testing::TRoundClock clock({milliseconds(5)}, {milliseconds(50)});
    EXPECT_EQ(Choose(0, clock), 4);
    EXPECT_EQ(Choose(-1, clock), 4) << "any count below 1 chooses";
    EXPECT_EQ(clock.Calls(), 0);
}

TEST_F(ChooseReaderThreadsTest, AnUnknownDeviceOrNoFilesGetSeveralReadersWithoutAProbe) {
    // The fake sysfs lists no device at all.
    const testing::TRoundClock clock({milliseconds(5)}, {milliseconds(50)});
    EXPECT_EQ(Choose(0, clock), 4);
    files_.clear();
    SayRotational("1\n");
    EXPECT_EQ(Choose(0, clock), 4);
    EXPECT_EQ(clock.Calls(), 0);
}

TEST_F(ChooseReaderThreadsTest, ARotatingDeviceIsProbed) {
    SayRotational("1\n");
    if (!testing::DirectReadsWork(files_.front()))
        GTEST_SKIP() << "the temporary folder " << tree_.Root() << " refuses direct reads";
    const testing::TRoundClock fasterInParallel({milliseconds(20)}, {milliseconds(10)});
    EXPECT_EQ(Choose(0, fasterInParallel), 4) << "a virtual disk that says it rotates";
    EXPECT_GT(fasterInParallel.Calls(), 0);
    const testing::TRoundClock equal({milliseconds(20)}, {milliseconds(20)});
    EXPECT_EQ(Choose(0, equal), 1);
    const testing::TRoundClock slowerInParallel({milliseconds(20)}, {milliseconds(60)});
    EXPECT_EQ(Choose(0, slowerInParallel), 1) << "a spinning disk";
}

// Files too short for a probe are read in one request each: several readers, no probe.
TEST_F(ChooseReaderThreadsTest, ARotatingDeviceWithOnlySmallFilesGetsSeveralReadersUnprobed) {
    SayRotational("1\n");
    files_ = {tree_.File("small1", "a"), tree_.File("small2", "b")};
    const testing::TRoundClock clock({milliseconds(20)}, {milliseconds(5)});
    EXPECT_EQ(Choose(0, clock), 4);
    EXPECT_EQ(clock.Calls(), 0);
}

} // namespace
} // namespace parvex
