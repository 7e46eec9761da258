// Runs of a plan that share storage, on fresh Btrfs and XFS mounts and on file systems that
// cannot share, each in a child process of its own.
#include "support/facts_on_disk.h"
#include "file_actions/action_run.h"
#include "platform/actions_log.h"
#include "support/kept_facts.h"
#include "support/private_mount.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::GroupOnDisk;
using testing::KeptFactsLine;
using testing::OnFreshFileSystem;
using testing::RandomContent;
using testing::TChildRun;
using testing::TTempTree;

constexpr std::size_t kLarge = 1048699;

// Plans `groups` with the first found staying and runs the plan; one line per outcome with the
// path relative to `folder`, then the run's bytes shared and freed.
std::string RunToText(const std::vector<TResultGroupFacts>& groups, const std::string& folder,
                      bool dryRun, TActionsLog* log) {
    TRealFolders real;
    const TActionPlan plan = MakeActionPlan(groups, {}, real);
    TActionRun run(groups, plan, {TActionKind::Share, {}, dryRun}, log);
    while (run.Step()) {
    }
    std::string text;
    for (const TActionOutcome& outcome : run.Outcomes()) {
        text += outcome.Name.substr(folder.size()) + ": " +
                (outcome.Done ? "shared " + std::to_string(outcome.BytesShared) : outcome.Reason) +
                (outcome.SharesStorage ? " (sharing)\n" : "\n");
    }
    return text + "shared " + std::to_string(run.BytesShared()) + ", freed " +
           std::to_string(run.BytesFreed()) + "\n";
}

// Groups of copies of the first file, each copy with its own owner, mode and times.
std::vector<TResultGroupFacts> MakeGroups(TTempTree& tree, const std::string& type) {
    std::vector<TResultGroupFacts> groups;
    for (const std::string group : {"one", "two"}) {
        const std::string content = RandomContent(kLarge, group == "one" ? 1 : 2);
        std::vector<std::string> paths;
        for (const std::string copy : {"a", "b", "c"}) {
            const std::string path = tree.File(type + "/" + copy + "/" + group, content);
            if (copy != "a") {
                ::chmod(path.c_str(), copy == "b" ? 0600 : 0444);
                [[maybe_unused]] const int owned = ::chown(path.c_str(), 1000 + copy[0], 2000);
                const timespec times[2] = {{1400000000, 5}, {1500000000 + copy[0], 123456789}};
                ::utimensat(AT_FDCWD, path.c_str(), times, 0);
            }
            paths.push_back(path);
        }
        groups.push_back(GroupOnDisk(paths));
        groups.back().Name = group;
    }
    return groups;
}

// The facts of every file, read before any of their bytes is: reading may change access times.
std::string FactsOfAll(const std::vector<TResultGroupFacts>& groups) {
    std::string facts;
    for (const TResultGroupFacts& group : groups)
        for (const TResultFileFacts& file : group.Files)
            facts += KeptFactsLine(file.Path) + "\n";
    return facts;
}

bool ContentKept(const std::vector<TResultGroupFacts>& groups) {
    for (const TResultGroupFacts& group : groups)
        for (const TResultFileFacts& file : group.Files)
            if (TTempTree::ReadFile(file.Path) !=
                RandomContent(kLarge, group.Name == "one" ? 1 : 2))
                return false;
    return true;
}

TEST(ShareRun, CopiesShareTheKeptCopysStorageOnceAndKeepTheirBytesNamesOwnersModesAndTimes) {
    const std::string sharedAll = "b/one: shared 1048699 (sharing)\nc/one: shared 1048699 "
                                  "(sharing)\nb/two: shared 1048699 (sharing)\nc/two: shared "
                                  "1048699 (sharing)\nshared 4194796, freed 0\n";
    const std::string already = "already shares its storage with the kept copy (sharing)\n";
    const std::string expected =
        "dry run:\n" + sharedAll + "run:\n" + sharedAll + "facts kept\nlogged 4 with targets\n" +
        "again:\nb/one: " + already + "c/one: " + already + "b/two: " + already +
        "c/two: " + already + "shared 0, freed 0\ncontent kept\n";
    for (const char* type : {"btrfs", "xfs"}) {
        TTempTree tree;
        const TChildRun run = OnFreshFileSystem(tree, type, [&](const std::string& folder) {
            const std::vector<TResultGroupFacts> groups = MakeGroups(tree, type);
            const std::string factsBefore = FactsOfAll(groups);
            TActionsLog log(tree.Path("actions.log"));
            std::string report = "dry run:\n" + RunToText(groups, folder, true, &log);
            report += "run:\n" + RunToText(groups, folder, false, &log);
            report += FactsOfAll(groups) == factsBefore ? "facts kept\n" : "facts changed\n";
            const std::string logged = TTempTree::ReadFile(log.Path());
            std::size_t lines = 0;
            for (const auto& [copy, kept] : {std::pair{"b/one", "a/one"},
                                             {"c/one", "a/one"},
                                             {"b/two", "a/two"},
                                             {"c/two", "a/two"}})
                lines += logged.find("\tshare\t" + folder + copy + "\t" + folder + kept + "\n") !=
                         std::string::npos;
            report += "logged " + std::to_string(lines) + " with targets\n";
            report += "again:\n" + RunToText(groups, folder, false, &log);
            return report + (ContentKept(groups) ? "content kept\n" : "content changed\n");
        });
        if (!run.Ran)
            GTEST_SKIP() << run.Output;
        EXPECT_EQ(run.Output, expected) << "on " << type;
    }
}

TEST(ShareRun, ACopyChangedBetweenPlanAndActIsSkippedEvenWhenItsSizeAndTimeStayed) {
    TTempTree tree;
    const TChildRun run = OnFreshFileSystem(tree, "btrfs", [&](const std::string& folder) {
        const std::string content = RandomContent(kLarge, 3);
        std::vector<TResultGroupFacts> groups{GroupOnDisk(
            {tree.File("btrfs/kept", content), tree.File("btrfs/rewritten", content),
             tree.File("btrfs/same-size-and-time", content), tree.File("btrfs/equal", content)})};
        tree.File("btrfs/rewritten", content + "more");
        // Its last byte differs, its size and modification time are those the search saw.
        struct stat before {};
        ::stat((folder + "same-size-and-time").c_str(), &before);
        std::string changed = content;
        changed.back() ^= 1;
        tree.File("btrfs/same-size-and-time", changed);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, (folder + "same-size-and-time").c_str(), times, 0);
        const std::string report = RunToText(groups, folder, false, nullptr);
        return report + (TTempTree::ReadFile(folder + "same-size-and-time") == changed
                             ? "changed bytes kept\n"
                             : "changed bytes lost\n");
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "rewritten: changed since the search\n"
                          "same-size-and-time: the file changed: its bytes differ from the kept "
                          "copy's\nequal: shared 1048699 (sharing)\n"
                          "shared 1048699, freed 0\nchanged bytes kept\n");
}

TEST(ShareRun, FileSystemsWithoutSharingSkipEveryCopyWithTheirReason) {
    for (const char* type : {"ext4", "tmpfs"}) {
        TTempTree tree;
        const TChildRun run = OnFreshFileSystem(tree, type, [&](const std::string& folder) {
            const std::string content = RandomContent(70000, 4);
            const std::vector<TResultGroupFacts> groups{
                GroupOnDisk({tree.File(std::string(type) + "/kept", content),
                             tree.File(std::string(type) + "/copy", content)})};
            return RunToText(groups, folder, true, nullptr) +
                   RunToText(groups, folder, false, nullptr);
        });
        if (!run.Ran)
            GTEST_SKIP() << run.Output;
        EXPECT_EQ(run.Output, "copy: the file system cannot share storage\nshared 0, freed 0\n"
                              "copy: the file system cannot share storage\nshared 0, freed 0\n")
            << "on " << type;
    }
}

} // namespace
} // namespace parvex
