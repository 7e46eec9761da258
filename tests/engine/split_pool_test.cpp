#include "_compearer/split_pool.h"
#include "platform/file_times.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <numeric>
#include <stdexcept>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;
using TClasses = std::vector<std::vector<std::uint32_t>>;

// Sets of four files each: set k holds two copies of one content and two files of their own.
class SplitPool : public ::testing::Test {
protected:
    SplitPool() {
        for (std::uint32_t k = 0; k < SetCount; ++k) {
            const std::string same(1000 + k, char('a' + k % 26));
            std::string other = same, another = same;
            other.back() = '!';
            another.front() = '!';
            for (const std::string& body : {same, other, same, another}) {
                const std::string name = std::to_string(paths.size());
                tree.File(name, body);
                paths.Add(tree.Root(), name);
                ids.push_back(TFileId{});
                modifiedNs.push_back(ModifiedNsOf(paths[paths.size() - 1]));
            }
        }
        rows.resize(paths.size());
        std::iota(rows.begin(), rows.end(), 0U);
    }
    TSplitPool::TSet SetAt(std::size_t k) const {
        return {{rows.data() + 4 * k, 4}, std::int64_t(1000 + k)};
    }
    static constexpr std::uint32_t SetCount = 40;

    // A pool of `threads` with eight descriptors.
    std::unique_ptr<TSplitPool> Pool(std::size_t threads,
                                     std::function<TSplitPool::TSet(std::size_t)> setAt) {
        return std::make_unique<TSplitPool>(TSplitColumns{paths, ids, modifiedNs, changedNs},
                                            descriptors.TryTake(8, 8), threads, TReadPath::Batched,
                                            SetCount, std::move(setAt));
    }
    std::unique_ptr<TSplitPool> Pool(std::size_t threads) {
        return Pool(threads, [this](std::size_t k) { return SetAt(k); });
    }
    static std::int64_t ModifiedNsOf(const std::string& path) {
        struct stat facts {};
        ::stat(path.c_str(), &facts);
        return NanosecondsOf(facts.st_mtim);
    }

    TTempTree tree;
    TPathColumn paths;
    TFileIdColumn ids;
    TChunkedColumn<std::int64_t> modifiedNs;
    TChunkedColumn<std::int64_t> changedNs; // none known: every file is read the careful way
    TDescriptorBudget descriptors{64};
    std::vector<std::uint32_t> rows;
};

TEST_F(SplitPool, HandsBackEverySetsClassesInTheOrderOfTheSets) {
    // However many threads are asked for, those that run hold two descriptors each.
    for (const std::size_t threads : {1, 3, 64}) {
        const auto pool = Pool(threads);
        TSplitPool::TSetResult result;
        for (std::uint32_t k = 0; k < SetCount; ++k) {
            ASSERT_TRUE(pool->Take(k, result, std::chrono::milliseconds(5), [] {}));
            EXPECT_EQ(result.Classes, (TClasses{{4 * k, 4 * k + 2}}))
                << "set " << k << ", " << threads << " threads";
            EXPECT_TRUE(result.Unreadable.empty());
        }
        EXPECT_EQ(pool->RowsSettled(), 4 * SetCount);
    }
    EXPECT_EQ(descriptors.Free(), 64U) << "every worker's descriptors went back";
}

// A file gone before it is read is reported with its set; an error of a worker reaches the
// thread that takes the set's result.
TEST_F(SplitPool, UnreadableFilesAndErrorsArriveWithTheirSet) {
    ::unlink(paths[4 * 3 + 2].c_str());
    auto pool = Pool(2, [this](std::size_t k) {
        if (k == 5)
            throw std::runtime_error("no set");
        return SetAt(k);
    });
    TSplitPool::TSetResult result;
    for (std::uint32_t k = 0; k < 5; ++k)
        ASSERT_TRUE(pool->Take(k, result, std::chrono::milliseconds(5), [] {}));
    EXPECT_EQ(result.Unreadable.size(), 0U);
    EXPECT_THROW((void)pool->Take(5, result, std::chrono::milliseconds(5), [] {}),
                 std::runtime_error);
    pool.reset();

    const auto again = Pool(2);
    for (std::uint32_t k = 0; k < 4; ++k)
        ASSERT_TRUE(again->Take(k, result, std::chrono::milliseconds(5), [] {}));
    ASSERT_EQ(result.Unreadable.size(), 1U);
    EXPECT_EQ(result.Unreadable[0], std::make_pair(4U * 3 + 2, ENOENT));
    EXPECT_TRUE(result.Classes.empty());
}

// Splits run side by side only while their memory fits the budget; a set larger than the whole
// budget still runs, alone.
TEST_F(SplitPool, SplitsSideBySideStayWithinTheMemoryBudget) {
    const std::size_t set = TContentSplitter::MemoryOf(4, 1000 + SetCount);
    for (const std::size_t budget : {std::size_t{1}, set, 2 * set + 1}) {
        const auto pool = std::make_unique<TSplitPool>(
            TSplitColumns{paths, ids, modifiedNs, changedNs}, descriptors.TryTake(8, 8), 4,
            TReadPath::Batched, SetCount, [this](std::size_t k) { return SetAt(k); }, nullptr,
            budget);
        TSplitPool::TSetResult result;
        for (std::uint32_t k = 0; k < SetCount; ++k) {
            ASSERT_TRUE(pool->Take(k, result, std::chrono::milliseconds(5), [] {}));
            EXPECT_EQ(result.Classes, (TClasses{{4 * k, 4 * k + 2}})) << "budget " << budget;
        }
        EXPECT_LE(pool->PeakMemory(), std::max(budget, set)) << "budget " << budget;
    }
}

TEST_F(SplitPool, AStoppedPoolHandsBackNothingMore) {
    const auto pool = Pool(2);
    TSplitPool::TSetResult result;
    ASSERT_TRUE(pool->Take(0, result, std::chrono::milliseconds(5), [] {}));
    pool->Stop();
    EXPECT_FALSE(pool->Take(1, result, std::chrono::milliseconds(5), [] {}));
}

} // namespace
} // namespace parvex
