#include "platform/batched_reads.h"
#include "platform/unique_fd.h"
#include "support/temp_tree.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

using testing::TTempTree;

class BatchReader : public ::testing::TestWithParam<TReadPath> {};

// Whole files, slices from an offset, reads past the end and on a bad descriptor, in a batch
// larger than the kernel gets at once: each request ends as pread(2) would end it.
TEST_P(BatchReader, ReadsEveryRequestAsPreadWould) {
    TBatchReader reader(GetParam());
    if (GetParam() == TReadPath::Batched && !reader.Batched())
        GTEST_SKIP() << "io_uring is refused here; the plain path is tested on its own";
    EXPECT_EQ(reader.Batched(), GetParam() == TReadPath::Batched);
    TTempTree tree;
    constexpr std::size_t Files = TBatchReader::MostAtOnce * 2 + 5;
    std::vector<std::string> bodies;
    std::vector<TUniqueFd> fds;
    for (std::size_t i = 0; i < Files; ++i) {
        bodies.push_back(std::string(100 + i * 37, char('a' + i % 26)) + std::to_string(i));
        const std::string path = tree.File("f" + std::to_string(i), bodies.back());
        fds.emplace_back(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(fds.back());
    }
    std::vector<std::string> buffers(Files + 1, std::string(1 << 14, '\0'));
    std::vector<TReadRequest> requests;
    for (std::size_t i = 0; i < Files; ++i) {
        // Every third request reads from the middle; every fifth asks for more than there is.
        const std::int64_t offset = i % 3 == 1 ? std::int64_t(bodies[i].size() / 2) : 0;
        const std::size_t length =
            i % 5 == 0 ? buffers[i].size() : bodies[i].size() - std::size_t(offset);
        requests.push_back({fds[i].Get(), buffers[i].data(), length, offset, -1});
    }
    requests.push_back({-1, buffers[Files].data(), 10, 0, -1});

    reader.ReadAll(requests);

    for (std::size_t i = 0; i < Files; ++i) {
        const std::string expected = bodies[i].substr(std::size_t(requests[i].Offset));
        ASSERT_EQ(requests[i].Result, std::int64_t(expected.size())) << "request " << i;
        EXPECT_EQ(buffers[i].substr(0, expected.size()), expected) << "request " << i;
    }
    EXPECT_EQ(requests.back().Result, -EBADF);
}

INSTANTIATE_TEST_SUITE_P(ReadPaths, BatchReader,
                         ::testing::Values(TReadPath::Batched, TReadPath::Plain),
                         [](const ::testing::TestParamInfo<TReadPath>& path) {
                             return path.param == TReadPath::Batched ? "Batched" : "Plain";
                         });

} // namespace
} // namespace parvex
