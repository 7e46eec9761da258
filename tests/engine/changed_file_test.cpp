#include "_compearer/compearer_core.h"
#include "engine/event_log.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace parvex {
namespace {

using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;

constexpr std::time_t OldTime = 1600000000;
constexpr std::size_t BodySize = 1 << 20; // several chunks when three files are read side by side

void Append(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(fd, 0) << path;
    EXPECT_EQ(::write(fd, "tail", 4), 4);
    ::close(fd);
}

void Overwrite(const std::string& path, off_t offset) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << path;
    EXPECT_EQ(::pwrite(fd, "!", 1, offset), 1);
    ::close(fd);
}

void PutTimeBack(const std::string& path) {
    const timespec times[2] = {{OldTime, 0}, {OldTime, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

std::int64_t ChangeTimeOf(const std::string& path) {
    struct stat facts {};
    EXPECT_EQ(::stat(path.c_str(), &facts), 0) << path;
    return std::int64_t(facts.st_ctim.tv_sec) * 1000000000 + facts.st_ctim.tv_nsec;
}

// Rewrites bytes already read and puts the modification time back: only the change time tells,
// once the file system's clock has ticked, so the rewrite is repeated until it has.
void RewriteBehindItsTime(const std::string& path) {
    const std::int64_t before = ChangeTimeOf(path);
    do {
        Overwrite(path, 0);
        PutTimeBack(path);
    } while (ChangeTimeOf(path) == before);
}

// A file that changes once its content is being compared, or after the scan and before its
// first read, is in no group and is reported as changed, with one reader or several, reading
// small files in batches or one at a time: a grown
// file is not reported identical for the bytes it had, a shrunk one not with its old size. The
// other files keep their groups.
TEST(ChangedFile, AFileThatChangesWhileComparedIsDroppedFromItsGroupAndReported) {
    enum TWhen { AfterTheScan, BetweenTwoReads };
    const struct {
        const char* Change;
        TWhen When;
        std::function<void(const std::string&)> Apply;
    } cases[] = {
        {"grown", BetweenTwoReads, Append},
        {"shrunk", BetweenTwoReads,
         [](const std::string& path) { EXPECT_EQ(::truncate(path.c_str(), BodySize / 2), 0); }},
        {"rewritten where already read", BetweenTwoReads,
         [](const std::string& path) { Overwrite(path, 0); }},
        {"rewritten with its time put back", BetweenTwoReads, RewriteBehindItsTime},
        {"shrunk after the scan", AfterTheScan,
         [](const std::string& path) { EXPECT_EQ(::truncate(path.c_str(), 0), 0); }},
    };
    for (const auto& c : cases) {
        for (const auto& [threads, path] :
             {std::pair{1, TReadPath::Batched}, {4, TReadPath::Batched}, {1, TReadPath::Plain}}) {
            TTempTree tree;
            const std::string body(BodySize, 'b'), other(4096, 'o');
            for (const char* name : {"a", "changing", "c"})
                tree.File(name, body, OldTime);
            for (const char* name : {"d", "e"})
                tree.File(name, other, OldTime);
            const std::string changing = tree.Path("changing");
            TCompearerCore core;
            core.Threads = threads;
            core.ReadPath = path;
            core.SetKeys({.Name = false, .Size = true, .Time = false, .Content = true});
            std::atomic<int> reads{0};
            std::atomic<bool> changed{false};
            const auto change = [&] {
                if (!changed.exchange(true))
                    c.Apply(changing);
            };
            core.OnChunkRead = [&](const std::string& read, std::int64_t) {
                if (read == changing && ++reads == 1 && c.When == BetweenTwoReads)
                    change();
            };
            core.OnStateChanged = [&](TSearchState state) {
                if (state == ssComparing && c.When == AfterTheScan)
                    change();
            };
            TEventLog log;
            log.Search(core, tree.Root() + "*");

            const std::string what = std::string(c.Change) + ", " + std::to_string(threads) +
                                     " threads, path " + std::to_string(int(path)) + ":\n" +
                                     TEventLog::Joined(log.Lines);
            EXPECT_TRUE(changed) << what;
            EXPECT_EQ(log.Skipped(),
                      TLines{"skipped " + changing + ": changed while being compared"})
                << what;
            TLines members;
            for (const std::string& line : log.Found())
                if (line.starts_with("file "))
                    members.push_back(line.substr(5));
            std::sort(members.begin(), members.end());
            EXPECT_EQ(members,
                      (TLines{tree.Path("a"), tree.Path("c"), tree.Path("d"), tree.Path("e")}))
                << what;
            EXPECT_EQ(core.Figures.Groups, 2) << what;
        }
    }
}

// Small files of one size, in a set too large to be open at once or in a small one, are read
// whole with one status call when nothing touched them since the scan, in batches or one at a
// time: a file rewritten right after that read is still caught, and one whose status alone
// changed after the scan (its mode) is read again, not dropped.
TEST(ChangedFile, ASmallFileReadWholeIsDroppedOnlyWhenItsBytesMayHaveChanged) {
    const struct {
        const char* Change;
        bool AfterTheScan;
        std::function<void(const std::string&)> Apply;
        bool Dropped;
    } cases[] = {
        {"grown", false, Append, true},
        {"rewritten with its time put back", false, RewriteBehindItsTime, true},
        {"mode changed after the scan", true,
         [](const std::string& path) { EXPECT_EQ(::chmod(path.c_str(), 0640), 0); }, false},
    };
    for (const auto& c : cases) {
        for (const int files : {100, 10}) {
            for (const TReadPath path : {TReadPath::Batched, TReadPath::Plain}) {
                TTempTree tree;
                for (int i = 0; i < files; ++i)
                    tree.File("f" + std::to_string(i), std::string(100, char('a' + i % 2)),
                              OldTime);
                const std::string changing = tree.Path("f7");
                TCompearerCore core;
                core.ReadPath = path;
                core.SetKeys({.Name = false, .Size = true, .Time = false, .Content = true});
                core.OnChunkRead = [&](const std::string& read, std::int64_t) {
                    if (read == changing && !c.AfterTheScan)
                        c.Apply(changing);
                };
                core.OnStateChanged = [&](TSearchState state) {
                    if (state == ssComparing && c.AfterTheScan)
                        c.Apply(changing);
                };
                TEventLog log;
                log.Search(core, tree.Root() + "*");
                const TLines skipped =
                    c.Dropped ? TLines{"skipped " + changing + ": changed while being compared"}
                              : TLines{};
                const std::string what = std::string(c.Change) + ", " + std::to_string(files) +
                                         " files, path " + std::to_string(int(path));
                EXPECT_EQ(log.Skipped(), skipped) << what;
                EXPECT_EQ(core.Figures.Groups, 2) << what;
                EXPECT_EQ(core.Figures.FilesInGroups, c.Dropped ? files - 1 : files) << what;
            }
        }
    }
}

} // namespace
} // namespace parvex
