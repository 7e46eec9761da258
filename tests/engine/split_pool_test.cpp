#include "_compearer/split_pool.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <numeric>
#include <stdexcept>

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
            }
        }
        rows.resize(paths.size());
        std::iota(rows.begin(), rows.end(), 0U);
    }
    TSplitPool::TSet SetAt(std::size_t k) const {
        return {{rows.data() + 4 * k, 4}, std::int64_t(1000 + k)};
    }
    static constexpr std::uint32_t SetCount = 40;

    TTempTree tree;
    TPathColumn paths;
    TFileIdColumn ids;
    std::vector<std::uint32_t> rows;
};

TEST_F(SplitPool, HandsBackEverySetsClassesInTheOrderOfTheSets) {
    TSplitPool pool(paths, ids, 3, SetCount, [this](std::size_t k) { return SetAt(k); });
    TSplitPool::TSetResult result;
    for (std::uint32_t k = 0; k < SetCount; ++k) {
        ASSERT_TRUE(pool.Take(k, result, std::chrono::milliseconds(5), [] {}));
        EXPECT_EQ(result.Classes, (TClasses{{4 * k, 4 * k + 2}})) << "set " << k;
        EXPECT_TRUE(result.Unreadable.empty());
    }
    EXPECT_EQ(pool.RowsSettled(), 4 * SetCount);
}

// A file gone before it is read is reported with its set; an error of a worker reaches the
// thread that takes the set's result.
TEST_F(SplitPool, UnreadableFilesAndErrorsArriveWithTheirSet) {
    ::unlink(paths[4 * 3 + 2].c_str());
    TSplitPool pool(paths, ids, 2, SetCount, [this](std::size_t k) {
        if (k == 5)
            throw std::runtime_error("no set");
        return SetAt(k);
    });
    TSplitPool::TSetResult result;
    for (std::uint32_t k = 0; k < 5; ++k)
        ASSERT_TRUE(pool.Take(k, result, std::chrono::milliseconds(5), [] {}));
    EXPECT_EQ(result.Unreadable.size(), 0U);
    EXPECT_THROW((void)pool.Take(5, result, std::chrono::milliseconds(5), [] {}),
                 std::runtime_error);

    TSplitPool again(paths, ids, 2, SetCount, [this](std::size_t k) { return SetAt(k); });
    for (std::uint32_t k = 0; k < 4; ++k)
        ASSERT_TRUE(again.Take(k, result, std::chrono::milliseconds(5), [] {}));
    ASSERT_EQ(result.Unreadable.size(), 1U);
    EXPECT_EQ(result.Unreadable[0], std::make_pair(4U * 3 + 2, ENOENT));
    EXPECT_TRUE(result.Classes.empty());
}

TEST_F(SplitPool, AStoppedPoolHandsBackNothingMore) {
    TSplitPool pool(paths, ids, 2, SetCount, [this](std::size_t k) { return SetAt(k); });
    TSplitPool::TSetResult result;
    ASSERT_TRUE(pool.Take(0, result, std::chrono::milliseconds(5), [] {}));
    pool.Stop();
    EXPECT_FALSE(pool.Take(1, result, std::chrono::milliseconds(5), [] {}));
}

} // namespace
} // namespace parvex
