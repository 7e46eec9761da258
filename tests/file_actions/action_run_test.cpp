// Runs of a plan on real trees: each action, the checks right before acting, hard links, the
// dry run and the actions log.
#include "support/facts_on_disk.h"
#include "file_actions/action_run.h"
#include "platform/actions_log.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::FactsOnDisk;
using testing::GroupOnDisk;
using testing::TTempTree;

ino_t InodeOf(const std::string& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 ? facts.st_ino : 0;
}

// A tree with the trash and the actions log inside it.
class ActionRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* data = std::getenv("XDG_DATA_HOME");
        oldData_ = data ? std::optional<std::string>(data) : std::nullopt;
        ::setenv("XDG_DATA_HOME", tree.Folder("data").c_str(), 1);
    }
    void TearDown() override {
        if (oldData_)
            ::setenv("XDG_DATA_HOME", oldData_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

    // Plans `groups` with the default rule (the first found stays) and runs the plan to its end.
    std::vector<TActionOutcome> RunAll(const std::vector<TResultGroupFacts>& groups,
                                       TRunChoices choices, TActionsLog* log = nullptr) {
        TRealFolders real;
        const TActionPlan plan = MakeActionPlan(groups, {}, real);
        TActionRun run(groups, plan, std::move(choices), log);
        while (run.Step()) {
        }
        freed = run.BytesFreed();
        return run.Outcomes();
    }

    TTempTree tree;
    std::int64_t freed = 0;

private:
    std::optional<std::string> oldData_;
};

TEST_F(ActionRunTest, EachActionIsDoneOnTheCopiesThatDoNotStayAndLoggedWithItsTarget) {
    const std::string into = tree.Folder("into");
    const struct {
        TActionKind Kind;
        const char* Word;
    } cases[] = {{TActionKind::Trash, "trash"},
                 {TActionKind::Move, "move"},
                 {TActionKind::HardLink, "hardlink"}};
    for (const auto& c : cases) {
        const std::string word = c.Word;
        const std::string kept = tree.File(word + "/kept.txt", "same bytes");
        const std::string copy = tree.File(word + "/copy.txt", "same bytes");
        TActionsLog log(tree.Path("data/parvex/actions.log"));
        const std::vector<TActionOutcome> outcomes =
            RunAll({GroupOnDisk({kept, copy})}, {c.Kind, into, false}, &log);
        ASSERT_EQ(outcomes.size(), 1u) << word;
        const TActionOutcome& done = outcomes[0];
        EXPECT_TRUE(done.Done) << word << ": " << done.Reason;
        EXPECT_EQ(done.Name, copy) << word;
        EXPECT_EQ(TTempTree::ReadFile(kept), "same bytes") << word << ": the kept copy";
        EXPECT_EQ(freed, static_cast<std::int64_t>(std::string("same bytes").size())) << word;
        switch (c.Kind) {
        case TActionKind::Trash:
            EXPECT_EQ(done.Target, tree.Path("data/Trash/files/copy.txt"));
            EXPECT_FALSE(TTempTree::Exists(copy));
            break;
        case TActionKind::Move:
            EXPECT_EQ(done.Target, into + "copy.txt");
            EXPECT_FALSE(TTempTree::Exists(copy));
            break;
        case TActionKind::HardLink:
            EXPECT_EQ(done.Target, kept);
            EXPECT_EQ(InodeOf(copy), InodeOf(kept)) << "the copy is a name of the kept one";
            break;
        case TActionKind::Share: // needs a file system that shares: share_run_test.cpp
            break;
        }
        const std::string logged = TTempTree::ReadFile(log.Path());
        EXPECT_NE(logged.find("\t" + word + "\t" + copy + "\t" + done.Target + "\n"),
                  std::string::npos)
            << logged;
    }
}

TEST_F(ActionRunTest, AFileThatChangedOrNoLongerEqualsTheKeptCopyIsSkippedWithItsReason) {
    const auto sameTimeAs = [](const std::string& path, const std::string& model) {
        struct stat facts {};
        ::lstat(model.c_str(), &facts);
        const timespec times[2] = {facts.st_atim, facts.st_mtim};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    };
    const struct {
        const char* What;
        std::function<void(const std::string& kept, const std::string& copy)> Change;
        const char* Reason;
    } cases[] = {
        {"grown", [](auto&, auto& copy) { std::ofstream(copy, std::ios::app) << "more"; },
         "changed since the search"},
        {"touched",
         [](auto&, auto& copy) {
             const timespec times[2] = {{1, 0}, {1, 0}};
             ::utimensat(AT_FDCWD, copy.c_str(), times, 0);
         },
         "changed since the search"},
        {"replaced by another file",
         [&](auto&, auto& copy) {
             const std::string other = copy + ".new";
             std::ofstream(other) << "same bytes";
             sameTimeAs(other, copy);
             ::rename(other.c_str(), copy.c_str());
         },
         "changed since the search"},
        {"removed", [](auto&, auto& copy) { ::unlink(copy.c_str()); }, "no longer there"},
        {"other bytes of the same size and time",
         [&](auto&, auto& copy) {
             const std::string before = copy + ".time";
             std::ofstream(before) << "";
             sameTimeAs(before, copy);
             std::ofstream(copy, std::ios::in | std::ios::out) << "SAME";
             sameTimeAs(copy, before);
         },
         "its content no longer equals the copy that stays"},
        {"the kept copy changed",
         [](auto& kept, auto&) { std::ofstream(kept, std::ios::app) << "more"; },
         "the copy that stays changed since the search"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string folder = "case" + std::to_string(n++) + "/";
        const std::string kept = tree.File(folder + "kept", "same bytes");
        const std::string copy = tree.File(folder + "copy", "same bytes");
        const std::vector<TResultGroupFacts> groups{GroupOnDisk({kept, copy})};
        c.Change(kept, copy);
        const std::vector<TActionOutcome> outcomes =
            RunAll(groups, {TActionKind::HardLink, {}, false});
        ASSERT_EQ(outcomes.size(), 1u) << c.What;
        EXPECT_FALSE(outcomes[0].Done) << c.What;
        EXPECT_EQ(outcomes[0].Reason, c.Reason) << c.What;
        EXPECT_NE(InodeOf(copy), InodeOf(kept)) << c.What << ": linked all the same";
    }
}

TEST_F(ActionRunTest, EveryNameOfAFileIsActedOnAndItsSpaceCountedOnce) {
    const std::string kept = tree.File("kept", "12345");
    const std::string copy = tree.File("copy", "12345");
    const std::string second = tree.HardLink("second-name", "copy");
    TResultGroupFacts group{"g", {}, {FactsOnDisk(kept), FactsOnDisk(copy, {second})}};
    const std::vector<TActionOutcome> outcomes = RunAll({group}, {TActionKind::Trash, {}, false});
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].Name, copy);
    EXPECT_EQ(outcomes[1].Name, second);
    EXPECT_TRUE(outcomes[0].Done && outcomes[1].Done) << outcomes[1].Reason;
    EXPECT_FALSE(TTempTree::Exists(copy) || TTempTree::Exists(second));
    EXPECT_EQ(freed, 5);
}

// A file with two names moves as one file: both names arrive in a folder on another file system
// still one inode; a move that fails says the system's reason, for one name or several.
TEST_F(ActionRunTest, AMoveTakesEveryNameOfAFileAtOnceOrSaysTheSystemsReason) {
    TTempTree other("/dev/shm");
    if (TTempTree::SameFileSystem(other.Root(), tree.Root()))
        GTEST_SKIP() << "/dev/shm is on the file system of the temporary folder here";
    const struct {
        const char* What;
        bool SecondName;
        bool FolderThere;
        const char* Reason; // empty when done
    } cases[] = {
        {"two names", true, true, ""},
        {"one name", false, true, ""},
        {"two names, no folder", true, false, "No such file or directory"},
        {"one name, no folder", false, false, "No such file or directory"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string folder = "case" + std::to_string(n++) + "/";
        const std::string kept = tree.File(folder + "kept", "12345");
        const std::string copy = tree.File(folder + "a/copy", "12345");
        std::vector<std::string> others;
        if (c.SecondName)
            others.push_back(tree.HardLink(folder + "b/other", folder + "a/copy"));
        const std::string into =
            c.FolderThere ? other.Folder(folder + "into") : other.Path(folder + "missing/");
        TResultGroupFacts group{"g", {}, {FactsOnDisk(kept), FactsOnDisk(copy, others)}};
        const std::vector<TActionOutcome> outcomes =
            RunAll({group}, {TActionKind::Move, into, false});
        ASSERT_EQ(outcomes.size(), 1 + others.size()) << c.What;
        for (const TActionOutcome& outcome : outcomes) {
            EXPECT_EQ(outcome.Done, *c.Reason == 0) << c.What << ": " << outcome.Reason;
            EXPECT_EQ(outcome.Reason, c.Reason) << c.What;
        }
        if (*c.Reason != 0) {
            EXPECT_TRUE(TTempTree::Exists(copy)) << c.What;
            continue;
        }
        EXPECT_EQ(outcomes[0].Target, into + "copy") << c.What;
        EXPECT_FALSE(TTempTree::Exists(copy)) << c.What;
        if (c.SecondName) {
            EXPECT_EQ(outcomes[1].Target, into + "other") << c.What;
            EXPECT_FALSE(TTempTree::Exists(others[0])) << c.What;
            EXPECT_EQ(InodeOf(into + "copy"), InodeOf(into + "other"))
                << c.What << ": the names arrived as two files";
        }
        EXPECT_EQ(freed, 5) << c.What;
    }
}

TEST_F(ActionRunTest, ADryRunChangesNothingAndPromisesEachTargetOnce) {
    const std::string into = tree.Folder("into");
    tree.File("into/same.txt", "taken");
    std::vector<std::string> paths{tree.File("kept/same.txt", "x")};
    for (const char* folder : {"a", "b"})
        paths.push_back(tree.File(std::string(folder) + "/same.txt", "x"));
    TActionsLog log(tree.Path("data/parvex/actions.log"));
    const std::vector<TActionOutcome> outcomes =
        RunAll({GroupOnDisk(paths)}, {TActionKind::Move, into, true}, &log);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].Target, into + "same (2).txt");
    EXPECT_EQ(outcomes[1].Target, into + "same (3).txt");
    for (const std::string& path : paths)
        EXPECT_TRUE(TTempTree::Exists(path)) << path << " was moved in a dry run";
    EXPECT_FALSE(TTempTree::Exists(log.Path())) << "a dry run wrote the actions log";
}

} // namespace
} // namespace parvex
