// Runs the real parvex-cli binary on real temporary trees and checks its output and exit status.

#include "support/temp_tree.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

using parvex::testing::TTempTree;

// A temporary folder holding the tree to search ("tree/") and the captured output beside it.
class ParvexCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        Base = Temp.Root().substr(0, Temp.Root().size() - 1);
        Root = Temp.Folder("tree");
    }

    // Creates a file below Root, with its folders; mtime 0 keeps the file system's time.
    void MakeFile(const std::string& relative, const std::string& content, time_t mtime = 0) {
        const std::string path = Root + relative;
        for (auto slash = path.find('/', Root.size()); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            ::mkdir(path.substr(0, slash).c_str(), 0755);
        std::ofstream(path, std::ios::binary) << content;
        if (mtime != 0) {
            const timespec times[2] = {{mtime, 0}, {mtime, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
        }
    }

    TRun Run(const std::vector<std::string>& args) {
        const std::string outPath = Base + "/stdout";
        const std::string errPath = Base + "/stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        std::vector<std::string> words{PARVEX_CLI_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        TRun run;
        const int spawned =
            posix_spawn(&pid, PARVEX_CLI_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << PARVEX_CLI_PATH << ": " << std::strerror(spawned);
            return run;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        run.Out = TTempTree::ReadFile(outPath);
        run.Err = TTempTree::ReadFile(errPath);
        return run;
    }

    // The expected output of one group: its head's name, then each member's path.
    std::string Group(const std::vector<std::string>& members) const {
        const std::string& head = members.front();
        std::string text = head.substr(head.rfind('/') + 1) + "\n";
        for (const auto& member : members)
            text += "\t" + Root + member + "\n";
        return text;
    }

    TTempTree Temp;
    std::string Base; // Temp's folder without the final "/"
    std::string Root; // ends in "/"
};

TEST_F(ParvexCliTest, HelpPrintsUsageToStdout) {
    const TRun run = Run({"--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.rfind("usage: parvex-cli [--keys LIST] [--exclude DIR]...", 0), 0u)
        << run.Out;
    EXPECT_EQ(run.Err, "");
}

TEST_F(ParvexCliTest, UsageErrorsExitTwoWithOneLineOnStderr) {
    const std::vector<std::vector<std::string>> commandLines{
        {},
        {"--keys"},
        {"--keys", "colour", Root},
        {"--keys", "size,,content", Root},
        {"--keys=none,size", Root},
        {"--keys="},
        {"--exclude"},
        {"--frobnicate", Root},
        {"--keys", "size\nname", Root},
        {"--bad\noption", Root},
        {Root, "*.*", "surplus"},
    };
    for (const auto& args : commandLines) {
        std::string shown;
        for (const auto& arg : args)
            shown += "[" + arg + "]";
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 2) << shown;
        EXPECT_EQ(run.Out, "") << shown;
        EXPECT_EQ(run.Err.rfind("parvex-cli: ", 0), 0u) << shown << " said: " << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << shown << run.Err;
        EXPECT_EQ(run.Err.back(), '\n') << shown;
    }
}

TEST_F(ParvexCliTest, NothingFoundExitsZeroWithEmptyOutput) {
    MakeFile("one.txt", "one");
    MakeFile("sub/two.txt", "two");
    const TRun run = Run({Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
}

TEST_F(ParvexCliTest, MissingStartFolderIsACompletedEmptySearch) {
    const TRun run = Run({Base + "/no-such-folder"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
}

// Files of a folder come before its subfolders, so one file per level fixes the table order.
TEST_F(ParvexCliTest, PrintsGroupsInHeadOrderWithMembersAfterTab) {
    MakeFile("Alpha.TXT", "group a");
    MakeFile("sub/beta.txt", "group b");
    MakeFile("sub/deeper/alpha-copy", "group a");
    MakeFile("sub/deeper/last/beta-copy.txt", "group b");
    MakeFile("sub/deeper/last/lonely.txt", "group c");
    const TRun run = Run({"--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Group({"Alpha.TXT", "sub/deeper/alpha-copy"}) +
                           Group({"sub/beta.txt", "sub/deeper/last/beta-copy.txt"}));
}

TEST_F(ParvexCliTest, KeysSelectWhatMakesFilesIdentical) {
    const time_t t = 1700000000;
    MakeFile("Same.txt", "hello", t);
    MakeFile("a/same.txt", "world!", t);
    MakeFile("a/b/other.txt", "hello", t + 10);
    MakeFile("a/b/c/x.bin", "hello", t);
    const std::string L0 = "Same.txt", L1 = "a/same.txt", L2 = "a/b/other.txt", L3 = "a/b/c/x.bin";
    const struct {
        std::vector<std::string> Keys;
        std::string Expected;
    } cases[] = {
        {{}, Group({L0, L3})},
        {{"--keys", "size,time,content"}, Group({L0, L3})},
        {{"--keys", "name"}, Group({L0, L1})},
        {{"--keys", "size"}, Group({L0, L2, L3})},
        {{"--keys", "time"}, Group({L0, L1, L3})},
        {{"--keys", "content"}, Group({L0, L2, L3})},
        {{"--keys", "name,size"}, ""},
        {{"--keys", "none"}, Group({L0, L1, L2, L3})},
        {{"--keys=content,size"}, Group({L0, L2, L3})},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.Keys;
        args.push_back(Root);
        const TRun run = Run(args);
        const std::string shown = c.Keys.empty() ? "(no --keys)" : c.Keys.back();
        EXPECT_EQ(run.Status, 0) << shown << run.Err;
        EXPECT_EQ(run.Out, c.Expected) << shown;
    }
}

// Siblings come in the file system's order, so every case leaves at most one sibling of mid/.
TEST_F(ParvexCliTest, ExcludedFoldersAreSkippedWithTheirSubtrees) {
    for (const char* file :
         {"a.txt", "mid/a.txt", "mid/skip/a.txt", "mid/skip/inner/a.txt", "p/a.txt", "q/a.txt"})
        MakeFile(file, "dup");
    const struct {
        std::vector<std::string> Excludes;
        std::vector<std::string> Expected;
    } cases[] = {
        {{"p", "q", "mid/skip"}, {"a.txt", "mid/a.txt"}},
        {{"p", "q", "mid/skip/"}, {"a.txt", "mid/a.txt"}},
        {{"p", "q", "mid/skip/inner"}, {"a.txt", "mid/a.txt", "mid/skip/a.txt"}},
        {{"p", "q", "MID/SKIP"}, {"a.txt", "mid/a.txt", "mid/skip/a.txt", "mid/skip/inner/a.txt"}},
        {{"mid", "q"}, {"a.txt", "p/a.txt"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--keys", "content"};
        std::string shown;
        for (const auto& folder : c.Excludes) {
            args.insert(args.end(), {"--exclude", Root + folder});
            shown += folder + " ";
        }
        args.push_back(Root);
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 0) << shown << run.Err;
        EXPECT_EQ(run.Out, Group(c.Expected)) << "excluded: " << shown;
    }
}

TEST_F(ParvexCliTest, ExcludingTheStartFolderFindsNothing) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/a.txt", "dup");
    const std::string folder = Root.substr(0, Root.size() - 1);
    const TRun run = Run({"--exclude", folder, Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
}

TEST_F(ParvexCliTest, NonUtf8NameIsPrintedAsItsRawBytes) {
    const std::string name = "caf\xe9-\xff.txt";
    MakeFile(name, "same bytes");
    MakeFile("sub/copy.txt", "same bytes");
    const TRun run = Run({"--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, name + "\n\t" + Root + name + "\n\t" + Root + "sub/copy.txt\n");
}

TEST_F(ParvexCliTest, StartFolderIsTrimmedAndGetsATrailingSlash) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    const std::string bare = Root.substr(0, Root.size() - 1);
    const std::string expected = Group({"a.txt", "sub/b.txt"});
    for (const std::string& given :
         {bare, Root, " \t" + bare + "\n ", "\x01\x1f" + Root + "\r\x7f"}) {
        const TRun run = Run({"--keys", "content", given});
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, expected) << "start folder given as [" << given << "]";
    }
}

TEST_F(ParvexCliTest, MaskListDefaultsToEveryFileAndOverlappingMasksListAFileOnce) {
    MakeFile("README", "text");
    MakeFile("sub/notes.txt", "text");
    EXPECT_EQ(Run({"--keys", "content", Root}).Out, Group({"README", "sub/notes.txt"}));
    EXPECT_EQ(Run({"--keys", "content", Root, "*.txt"}).Out, "");
    EXPECT_EQ(Run({"--keys", "content", Root, "*.txt;*.TXT"}).Out, "");
}

TEST_F(ParvexCliTest, StatsGoToStderrAndLeaveStdoutAlone) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    MakeFile("sub/deeper/c.txt", "dup");
    MakeFile("sub/deeper/d.txt", "different");
    const TRun run = Run({"--stats", "--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, Group({"a.txt", "sub/b.txt", "sub/deeper/c.txt"}));
    for (const char* line : {"files collected: 4\n", "groups: 1\n", "files in groups: 3\n"})
        EXPECT_NE(run.Err.find(line), std::string::npos) << line << "missing in:\n" << run.Err;
    for (const char* figure : {"bytes read for content: ", "scan time: ", "compare time: "})
        EXPECT_NE(run.Err.find(figure), std::string::npos) << figure << "missing in:\n" << run.Err;
}

// The pairwise pass, written plainly: every row against every later row still in the table.
class TReferenceSearch {
public:
    explicit TReferenceSearch(const std::string& root) { Walk(root); }

    std::string Output() {
        std::string text;
        for (std::size_t i = 0; i < Rows.size(); ++i) {
            bool matched = false;
            for (std::size_t j = i + 1; j < Rows.size(); ++j) {
                if (Rows[j].second != Rows[i].second)
                    continue;
                if (!matched)
                    text += Rows[i].first.substr(Rows[i].first.rfind('/') + 1) + "\n\t" +
                            Rows[i].first + "\n";
                text += "\t" + Rows[j].first + "\n";
                Rows.erase(Rows.begin() + static_cast<std::ptrdiff_t>(j--));
                matched = true;
            }
        }
        return text;
    }

private:
    // Pre-order, in the order the file system enumerates: a folder's files, then its subfolders.
    void Walk(const std::string& folder) {
        std::vector<std::string> subfolders;
        DIR* dir = ::opendir(folder.c_str());
        ASSERT_NE(dir, nullptr) << folder;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            struct stat info {};
            if (name == "." || name == ".." || ::lstat((folder + name).c_str(), &info) != 0)
                continue;
            if (S_ISDIR(info.st_mode))
                subfolders.push_back(folder + name + "/");
            else if (S_ISREG(info.st_mode))
                Rows.emplace_back(folder + name, TTempTree::ReadFile(folder + name));
        }
        ::closedir(dir);
        for (const auto& subfolder : subfolders)
            Walk(subfolder);
    }

    std::vector<std::pair<std::string, std::string>> Rows; // path, content
};

TEST_F(ParvexCliTest, RandomTreeGivesExactlyThePairwiseResult) {
    std::mt19937 random(20240607);
    std::vector<std::string> folders{""};
    for (int i = 0; i < 40; ++i)
        folders.push_back(folders[random() % folders.size()] + "d" + std::to_string(i) + "/");
    const std::vector<std::string> contents{
        "", "a", "b", "ab", "ba", "abc", "abd", std::string(70000, 'x'), std::string(70000, 'y')};
    for (int i = 0; i < 400; ++i)
        MakeFile(folders[random() % folders.size()] + "f" + std::to_string(i),
                 contents[random() % contents.size()]);
    ::symlink((Root + "f0").c_str(), (Root + "link-to-file").c_str());
    ::symlink(Root.c_str(), (Root + "d0/link-to-root").c_str());

    const TRun run = Run({"--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, TReferenceSearch(Root).Output());
}

} // namespace
