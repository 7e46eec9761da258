#include "comparison_store/comparison_store.h"
#include "comparison_store/store_memory.h"
#include "comparison_store/store_search.h"
#include "engine/event_log.h"
#include "platform/file_times.h"
#include "support/child_process.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace parvex {
namespace {

using testing::SearchWithStore;
using testing::SettingsIn;
using testing::TEventLog;
using testing::TStoreSearch;
using testing::TTempTree;

std::int64_t ChangedNsOf(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 ? NanosecondsOf(facts.st_ctim) : 0;
}

// Makes sure a change of the file at `path` shows in its change time, as it does unless the
// change fell into the tick of the time it had: the store rightly cannot tell those apart, and
// a clock an hour ahead keeps the rule that guards against them out of these tests.
void LeaveChangeTimeBehind(const std::string& path, std::int64_t before) {
    while (ChangedNsOf(path) == before)
        ::chmod(path.c_str(), 0644);
}

// A tree of a few sizes and contents, changed at random in every way a file can change. Long
// contents share their first and last bytes and differ in the middle, so that the digests of
// their ends cannot tell them apart.
class TChangingTree {
public:
    explicit TChangingTree(unsigned seed) : random_(seed) {
        for (int k = 0; k < 40; ++k)
            Write(NewPath(), Content());
    }

    const std::string& Root() const { return tree_.Root(); }

    void Change() {
        switch (Pick(9)) {
        case 0: { // other bytes at the same size, the times put back
            const std::string path = AnyFile();
            struct stat before {};
            ::stat(path.c_str(), &before);
            const std::string bytes = TTempTree::ReadFile(path);
            std::string other = Content(bytes.size());
            Write(path, other);
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
            LeaveChangeTimeBehind(path, NanosecondsOf(before.st_ctim));
            break;
        }
        case 1: { // another size
            const std::string path = AnyFile();
            const std::int64_t before = ChangedNsOf(path);
            Write(path, TTempTree::ReadFile(path) + "+");
            LeaveChangeTimeBehind(path, before);
            break;
        }
        case 2: // renamed
            ::rename(AnyFile().c_str(), NewPath().c_str());
            break;
        case 3: { // replaced by a rename
            const std::string temporary = NewPath();
            Write(temporary, Content());
            ::rename(temporary.c_str(), AnyFile().c_str());
            break;
        }
        case 4: // a new hard link
            ::link(AnyFile().c_str(), NewPath().c_str());
            break;
        case 5: // deleted
            ::unlink(AnyFile().c_str());
            break;
        case 6: // a new copy
            Write(NewPath(), TTempTree::ReadFile(AnyFile()));
            break;
        case 7: { // a folder moved
            const std::string folder = Root() + "d" + std::to_string(Pick(4));
            ::rename(folder.c_str(),
                     (Root() + "d" + std::to_string(Pick(4)) + "/moved" + std::to_string(next_++))
                         .c_str());
            break;
        }
        default:
            Write(NewPath(), Content());
            break;
        }
    }

private:
    std::size_t Pick(std::size_t count) { return std::size_t(random_() % count); }

    std::string Content(std::size_t size = 0) {
        static constexpr std::size_t Sizes[] = {0, 100, 5000, 20000};
        if (size == 0)
            size = Sizes[Pick(std::size(Sizes))];
        std::string bytes(size, 'x');
        // Few variants, so that many files are equal; long ones differ in the middle only.
        const char variant = char('a' + Pick(3));
        if (size > 10000)
            bytes[size / 2] = variant;
        else if (size > 0)
            bytes[0] = variant;
        return bytes;
    }

    std::string NewPath() {
        std::string folder = Root() + "d" + std::to_string(Pick(4)) + "/";
        ::mkdir(folder.c_str(), 0755);
        return folder + "f" + std::to_string(next_++);
    }

    // Any regular file of the tree as it is now.
    std::string AnyFile() {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Root()))
            if (entry.is_regular_file())
                files.push_back(entry.path().string());
        if (files.empty()) {
            files.push_back(NewPath());
            Write(files.back(), Content());
        }
        std::sort(files.begin(), files.end());
        return files[Pick(files.size())];
    }

    static void Write(const std::string& path, const std::string& bytes) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0) << "cannot write " << path;
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(fd);
    }

    TTempTree tree_;
    std::mt19937 random_;
    std::size_t next_ = 0;
};

TEST(StoreMemoryTest, EverySearchWithTheStoreEqualsOneWithout) {
    TTempTree cache;
    const TStoreSettings settings = SettingsIn(cache.Path("store"));
    TChangingTree tree(2026);
    std::int64_t recalled = 0;
    for (int round = 0; round < 20; ++round) {
        for (int change = 0; change < 3; ++change)
            tree.Change();
        const TStoreSearch with = SearchWithStore(tree.Root(), &settings, 1 + round % 2);
        const TStoreSearch without = SearchWithStore(tree.Root(), nullptr);
        ASSERT_EQ(TEventLog::Joined(with.Lines), TEventLog::Joined(without.Lines))
            << "round " << round;
        EXPECT_EQ(with.Warning, "") << "round " << round;
        recalled += with.Figures.FilesRecalled;
    }
    EXPECT_GT(recalled, 100) << "files taken from the store in 20 rounds";
}

TEST(StoreMemoryTest, AnUnchangedTreeIsNotReadAgain) {
    TTempTree cache, tree;
    for (int k = 0; k < 6; ++k) {
        tree.File("a/" + std::to_string(k), std::string(3000, char('a' + k % 3)));
        tree.File("b/" + std::to_string(k), std::string(3000, char('a' + k)));
    }
    const TStoreSettings settings = SettingsIn(cache.Path("store"));
    const TStoreSearch first = SearchWithStore(tree.Root(), &settings);
    const TStoreSearch second = SearchWithStore(tree.Root(), &settings, 2);
    EXPECT_EQ(first.Figures.FilesRead, 12);
    EXPECT_EQ(second.Figures.FilesRead, 0) << "files taken: " << second.Figures.FilesRecalled;
    EXPECT_EQ(second.Figures.FilesRecalled, 12);
    EXPECT_EQ(TEventLog::Joined(first.Lines), TEventLog::Joined(second.Lines));
}

// What was read of a file changed less than 2 s before the reading is not kept: a write in
// the same tick of its change time would not show.
TEST(StoreMemoryTest, AFileChangedJustBeforeItWasReadIsNotRemembered) {
    struct TCase {
        std::int64_t SecondsAfterChange;
        std::int64_t Recalled;
    };
    for (const TCase& c : {TCase{1, 0}, TCase{3, 4}}) {
        TTempTree cache, tree;
        std::int64_t latest = 0;
        for (int k = 0; k < 4; ++k)
            latest = std::max(latest, ChangedNsOf(tree.File(std::to_string(k), "same")));
        TStoreSettings settings = SettingsIn(cache.Path("store"));
        settings.WallClockNs = [&] { return latest + c.SecondsAfterChange * 1'000'000'000; };
        SearchWithStore(tree.Root(), &settings);
        const TStoreSearch second = SearchWithStore(tree.Root(), &settings);
        EXPECT_EQ(second.Figures.FilesRecalled, c.Recalled)
            << "read " << c.SecondsAfterChange << " s after the change";
    }
}

TEST(StoreMemoryTest, TheStoreKeepsOnlyWhatTheCoveredFoldersStillHold) {
    TTempTree cache, tree;
    const auto addFiles = [&](const std::string& prefix, int count) {
        for (int k = 0; k < count; ++k)
            tree.File(prefix + std::to_string(k), std::string(2000, char(k % 100)));
    };
    addFiles("f", 400);
    TStoreSettings settings = SettingsIn(cache.Path("store"));
    settings.CoveredFolders = {tree.Root()};
    SearchWithStore(tree.Root(), &settings);
    const std::string path = ComparisonStorePath(settings.Folder);
    const std::int64_t bytesOf400 = TComparisonStore(path, 50).BytesInUse();
    for (int k = 0; k < 200; ++k)
        ::unlink(tree.Path("f" + std::to_string(k)).c_str());
    SearchWithStore(tree.Root(), &settings);
    std::int64_t files = 0, bytes = 0;
    {
        TComparisonStore store(path, 50);
        files = store.FileCount();
        bytes = store.BytesInUse();
    }
    EXPECT_EQ(files, 200) << "files stored after half the files were deleted";
    EXPECT_LE((bytesOf400 - bytes) / 200, 200) << bytesOf400 << " and " << bytes << " bytes";

    // Beyond its limit, the store forgets the files stored longest ago.
    settings.SizeLimit = bytes;
    settings.WallClockNs = [] { return RealTimeNs() + std::int64_t(7200) * 1'000'000'000; };
    addFiles("g", 200);
    SearchWithStore(tree.Root(), &settings);
    TComparisonStore store(path, 50);
    EXPECT_LE(store.BytesInUse(), settings.SizeLimit);
    EXPECT_GT(store.FileCount(), 0);
}

// A fault of the store never changes a result; the search says so once and, where it can,
// leaves a store the next search uses.
TEST(StoreMemoryTest, AFaultOfTheStoreLeavesTheResultAsWithout) {
    struct TFault {
        const char* Name;
        std::function<void(const std::string& path)> Arrange;
        bool Warns;
        bool UsableAfter;
    };
    const auto writeOver = [](const std::string& path, const std::string& bytes) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(fd);
    };
    std::unique_ptr<TSqliteConnection> holder;
    const std::vector<TFault> faults = {
        {"damaged",
         [&](const std::string& path) {
             TComparisonStore::Remove(path + "-wal");
             writeOver(path, std::string(8192, 'x'));
         },
         true, true},
        {"of another version",
         [](const std::string& path) {
             TSqliteConnection(path, 50).Execute("PRAGMA user_version=99;");
         },
         true, true},
        {"locked by a second connection",
         [&](const std::string& path) {
             holder = std::make_unique<TSqliteConnection>(path, 50);
             holder->Execute("BEGIN EXCLUSIVE;");
         },
         true, true},
        {"no folder can be made",
         [&](const std::string& path) {
             const std::string folder = path.substr(0, path.rfind('/'));
             TComparisonStore::Remove(path);
             ::rmdir(folder.c_str());
             writeOver((::close(::creat(folder.c_str(), 0600)), folder), "a file");
         },
         true, false},
    };
    for (const TFault& fault : faults) {
        TTempTree cache, tree;
        for (int k = 0; k < 8; ++k)
            tree.File("f" + std::to_string(k), std::string(700, char('a' + k % 3)));
        const TStoreSettings settings = SettingsIn(cache.Path("store"));
        SearchWithStore(tree.Root(), &settings);
        tree.File("new", std::string(700, 'a'));
        fault.Arrange(ComparisonStorePath(settings.Folder));
        const TStoreSearch faulty = SearchWithStore(tree.Root(), &settings, 2);
        holder.reset();
        const TStoreSearch without = SearchWithStore(tree.Root(), nullptr);
        EXPECT_EQ(TEventLog::Joined(faulty.Lines), TEventLog::Joined(without.Lines)) << fault.Name;
        EXPECT_EQ(!faulty.Warning.empty(), fault.Warns) << fault.Name << ": " << faulty.Warning;
        SearchWithStore(tree.Root(), &settings);
        const TStoreSearch after = SearchWithStore(tree.Root(), &settings);
        EXPECT_EQ(after.Figures.FilesRecalled > 0, fault.UsableAfter)
            << fault.Name << ": " << after.Figures.FilesRecalled << " taken, " << after.Warning;
    }
}

TEST(StoreMemoryTest, AStoreDeletedDuringTheSearchLeavesTheResultAsWithout) {
    TTempTree cache, tree;
    for (int k = 0; k < 8; ++k)
        tree.File("f" + std::to_string(k), std::string(700, char('a' + k % 3)));
    TStoreSettings settings = SettingsIn(cache.Path("store"));
    SearchWithStore(tree.Root(), &settings);
    tree.File("new", std::string(700, 'b'));
    const std::string path = ComparisonStorePath(settings.Folder);
    settings.BeforeWrite = [&] { TComparisonStore::Remove(path); };
    const TStoreSearch deleted = SearchWithStore(tree.Root(), &settings);
    EXPECT_EQ(TEventLog::Joined(deleted.Lines),
              TEventLog::Joined(SearchWithStore(tree.Root(), nullptr).Lines));
    settings.BeforeWrite = nullptr;
    SearchWithStore(tree.Root(), &settings);
    EXPECT_EQ(SearchWithStore(tree.Root(), &settings).Figures.FilesRead, 0)
        << "a new store after the deleted one";
}

TEST(StoreMemoryTest, AFullDiskLeavesTheResultAsWithout) {
    TTempTree cache, tree;
    for (int k = 0; k < 30; ++k)
        tree.File("f" + std::to_string(k), std::string(700, char('a' + k % 7)));
    const TStoreSettings settings = SettingsIn(cache.Path("store"));
    SearchWithStore(tree.Root(), &settings);
    for (int k = 0; k < 10; ++k)
        tree.File("g" + std::to_string(k), std::string(700, char('a' + k % 5)));
    const std::string expected = TEventLog::Joined(SearchWithStore(tree.Root(), nullptr).Lines);
    const testing::TChildRun run = testing::RunInChild(
        [] {
            // No file may grow beyond a few bytes: every write of the store fails.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16, 16};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? std::string() : "no file size limit";
        },
        [&] {
            const TStoreSearch search = SearchWithStore(tree.Root(), &settings);
            return TEventLog::Joined(search.Lines) + (search.Warning.empty() ? "" : "warned\n");
        });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, expected + "warned\n");
}

TEST(StoreMemoryTest, TwoSearchesAtOnceBothFindTheirGroups) {
    TTempTree cache, one, two;
    for (int k = 0; k < 60; ++k) {
        one.File("f" + std::to_string(k), std::string(900, char('a' + k % 9)));
        two.File("f" + std::to_string(k), std::string(900, char('a' + k % 4)));
    }
    const TStoreSettings settings = SettingsIn(cache.Path("store"));
    for (int round = 0; round < 2; ++round) {
        TStoreSearch first, second;
        std::thread other([&] { second = SearchWithStore(two.Root(), &settings); });
        first = SearchWithStore(one.Root(), &settings);
        other.join();
        EXPECT_EQ(TEventLog::Joined(first.Lines),
                  TEventLog::Joined(SearchWithStore(one.Root(), nullptr).Lines));
        EXPECT_EQ(TEventLog::Joined(second.Lines),
                  TEventLog::Joined(SearchWithStore(two.Root(), nullptr).Lines));
    }
}

} // namespace
} // namespace parvex
