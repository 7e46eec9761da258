#include "_compearer/compearer_core.h"
#include "support/temp_tree.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace parvex {
namespace {

// Peak resident memory of this process in KiB, from /proc/self/status.
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Writing "5" to clear_refs resets the peak, so the test measures the search alone.
bool ResetPeak() {
    return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
}

TEST(Memory, TwoHugeSparseFilesCompareInBoundedMemory) {
    // On tmpfs a hole reads as the shared zero page, so 10 GiB take seconds, not minutes.
    testing::TTempTree tree(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "");
    tree.SparseFile("a.img", 5LL << 30, 'e');
    tree.SparseFile("b.img", 5LL << 30, 'e');
    TCompearerCore core;
    core.SearchSpec = tree.Root() + "*.img";
    int found = 0;
    core.OnFileFound = [&](const std::string&, bool) { ++found; };
    if (!ResetPeak())
        GTEST_SKIP() << "the peak of resident memory cannot be reset here";
    const long before = PeakResidentKiB();
    core.Start();
    const long growth = PeakResidentKiB() - before;
    EXPECT_EQ(found, 3);
    EXPECT_EQ(core.Figures.ContentBytesRead, 10LL << 30);
    EXPECT_LT(growth, 100 * 1024) << "peak grew by " << growth << " KiB";
    std::printf("peak resident growth: %ld KiB\n", growth);
}

} // namespace
} // namespace parvex
