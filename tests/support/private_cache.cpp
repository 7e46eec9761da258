// Linked into every test program: before any test runs, XDG_CACHE_HOME, XDG_STATE_HOME and
// XDG_DATA_HOME point to folders of the process's own, and each test gets a state and a data
// folder of its own, so that no test reads or changes the comparison store, the run journals or
// the trash of the user running the tests, nor those of another test: tests never undo each
// other's runs or share a trash. The folders go when the process ends.

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

void PointTo(const char* variable, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    ::setenv(variable, folder.c_str(), 1);
}

// Each test starts with empty state and data folders.
class TPrivateFoldersPerTest : public ::testing::EmptyTestEventListener {
public:
    explicit TPrivateFoldersPerTest(std::filesystem::path base) : base_(std::move(base)) {}
    void OnTestStart(const ::testing::TestInfo&) override {
        const std::filesystem::path test = base_ / ("test-" + std::to_string(++count_));
        PointTo("XDG_STATE_HOME", test / "state");
        PointTo("XDG_DATA_HOME", test / "data");
    }

private:
    std::filesystem::path base_;
    int count_ = 0;
};

struct TPrivateCache {
    TPrivateCache() : owner(::getpid()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") +
                              "/parvex-test-cache-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder = pattern;
        ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
        PointTo("XDG_STATE_HOME", folder / "state");
        PointTo("XDG_DATA_HOME", folder / "data");
        ::testing::UnitTest::GetInstance()->listeners().Append(
            new TPrivateFoldersPerTest(folder / "tests"));
    }
    ~TPrivateCache() {
        // A forked child leaves the folder to its parent.
        if (::getpid() != owner)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    pid_t owner;
    std::filesystem::path folder;
};

const TPrivateCache privateCache;

} // namespace
