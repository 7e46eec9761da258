// Runs the real parvex-cli binary on real temporary trees and checks its output and exit status.

#include "support/temp_tree.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
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
        StdoutFile = OutPath();
    }

    // Files of the given contents, drawn at random, in a random tree of folders below Root.
    void MakeRandomTree(unsigned seed, int folderCount, int fileCount,
                        const std::vector<std::string>& contents) {
        std::mt19937 random(seed);
        std::vector<std::string> folders{""};
        for (int i = 0; i < folderCount; ++i)
            folders.push_back(folders[random() % folders.size()] + "d" + std::to_string(i) + "/");
        for (int i = 0; i < fileCount; ++i)
            MakeFile(folders[random() % folders.size()] + "f" + std::to_string(i),
                     contents[random() % contents.size()]);
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

    // Starts parvex-cli with args, after the words of prefix (a command that runs it), its
    // output going to files beside the tree; attributes may set the signal mask it starts with.
    pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {},
                const posix_spawnattr_t* attributes = nullptr) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, StdoutFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, ErrPath().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> words = prefix;
        words.push_back(PARVEX_CLI_PATH);
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int spawned = posix_spawnp(&pid, argv[0], &actions, attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << words[0] << ": " << std::strerror(spawned);
            return -1;
        }
        return pid;
    }

    // Starts a run with `signal` blocked, so that one sent at once stays pending until the
    // program itself unblocks it; with `defaultAction` the run starts with its default action
    // instead of an inherited one.
    pid_t StartWithSignalBlocked(const std::vector<std::string>& args, int signal,
                                 bool defaultAction) {
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        posix_spawnattr_setsigmask(&attributes, &only);
        short flags = POSIX_SPAWN_SETSIGMASK;
        if (defaultAction) {
            posix_spawnattr_setsigdefault(&attributes, &only);
            flags |= POSIX_SPAWN_SETSIGDEF;
        }
        posix_spawnattr_setflags(&attributes, flags);
        const pid_t pid = Start(args, {}, &attributes);
        posix_spawnattr_destroy(&attributes);
        return pid;
    }

    // Waits for a started run; a run killed by signal N has the status 1000 + N.
    TRun Finish(pid_t pid) {
        TRun run;
        if (pid < 0)
            return run;
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        if (StdoutFile == OutPath())
            run.Out = TTempTree::ReadFile(OutPath());
        run.Err = TTempTree::ReadFile(ErrPath());
        return run;
    }

    TRun Run(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {}) {
        return Finish(Start(args, prefix));
    }

    std::string OutPath() const { return Base + "/stdout"; }
    std::string ErrPath() const { return Base + "/stderr"; }

    // The expected output of one group: its head's name, then each member's path.
    std::string Group(const std::vector<std::string>& members) const {
        const std::string& head = members.front();
        std::string text = head.substr(head.rfind('/') + 1) + "\n";
        for (const auto& member : members)
            text += "\t" + Root + member + "\n";
        return text;
    }

    TTempTree Temp;
    std::string Base;       // Temp's folder without the final "/"
    std::string Root;       // ends in "/"
    std::string StdoutFile; // where a run's standard output goes; read back only if OutPath()
};

TEST_F(ParvexCliTest, HelpPrintsUsageToStdout) {
    const TRun run = Run({"--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.rfind("usage: parvex-cli [--keys LIST] [--exclude DIR]...", 0), 0u)
        << run.Out;
    EXPECT_EQ(run.Err, "");
    for (const char* documented :
         {"--format FORMAT", "text  (default)", "null  ", "json  ", "-0 ", "--quiet", "\\xHH",
          "--min-size SIZE", "--max-size SIZE", "--no-hidden",
          "do not enter\n                   folders", "--no-read-only", "Exit status (", "  0 ",
          "  1 ", "  2 ", "  3 ", "128+N", "SIGTERM"})
        EXPECT_NE(run.Out.find(documented), std::string::npos) << documented << " missing in:\n"
                                                               << run.Out;
    EXPECT_NE(run.Out.find("--threads N      walk and read with N threads"), std::string::npos)
        << run.Out;
}

TEST_F(ParvexCliTest, VersionPrintsTheVersionWithoutAStartFolder) {
    const TRun run = Run({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "parvex-cli 1.1\n");
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
        {"--format", "xml", Root},
        {"--min-size", "1X", Root},
        {"--min-size=2", "--max-size=1", Root},
        {"--threads", "-3", Root},
        {"--threads=two", Root},
        {"--format", "text", "-0", Root},
        {"-0", "--format=null", Root},
        {"-0", "-0", Root},
        {" "},
        {Base + "/no-such-folder"},
        {Base + "/stdout"},
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

TEST_F(ParvexCliTest, StartThatIsMissingOrNotAFolderIsAUsageError) {
    MakeFile("file.txt", "x");
    const struct {
        std::string Start;
        std::string Message;
    } cases[] = {
        {Base + "/no-such-folder",
         "parvex-cli: start folder '" + Base + "/no-such-folder/' does not exist\n"},
        {Root + "file.txt", "parvex-cli: start folder '" + Root + "file.txt/' is not a folder\n"},
        {Root + "file.txt/", "parvex-cli: start folder '" + Root + "file.txt/' is not a folder\n"},
        {Root + "no\nline", "parvex-cli: start folder '" + Root + "no\\nline/' does not exist\n"},
    };
    for (const auto& c : cases) {
        const TRun run = Run({"-0", c.Start});
        EXPECT_EQ(run.Status, 2) << c.Start;
        EXPECT_EQ(run.Out, "") << c.Start;
        EXPECT_EQ(run.Err, c.Message) << c.Start;
    }
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

TEST_F(ParvexCliTest, JsonFormatWritesTheWholeResultWithTheFilesFacts) {
    MakeFile("a.txt", "same text");
    MakeFile("sub/b.txt", "same text");
    MakeFile("caf\xe9.txt", "other");
    MakeFile("sub/copy", "other");
    ASSERT_EQ(::link((Root + "a.txt").c_str(), (Root + "sub/link.txt").c_str()), 0);
    const timespec times[2] = {{1700000000, 123456789}, {1700000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (Root + "a.txt").c_str(), times, 0), 0);
    const TRun run = Run({"--format", "json", "--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    const nlohmann::ordered_json document = nlohmann::ordered_json::parse(run.Out);
    EXPECT_EQ(document["format"], "parvex-result");
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["complete"], true);
    EXPECT_EQ(document["search"]["start_folder"], Root);
    EXPECT_EQ(document["search"]["keys"], nlohmann::ordered_json::parse(R"(["size","content"])"));
    ASSERT_EQ(document["groups"].size(), 2U) << run.Out;
    for (const nlohmann::ordered_json& group : document["groups"]) {
        ASSERT_EQ(group["files"].size(), 2U) << group.dump(1);
        EXPECT_EQ(group["wasted"], group["files"][0]["size"]) << group.dump(1);
        for (const nlohmann::ordered_json& file : group["files"]) {
            const std::string path =
                file.contains("path") ? file["path"].get<std::string>() : std::string();
            if (path.empty())
                continue; // the base64 path is checked below
            struct stat facts {};
            ASSERT_EQ(::stat(path.c_str(), &facts), 0) << path;
            EXPECT_EQ(file["size"], facts.st_size) << path;
            EXPECT_EQ(file["dev"], facts.st_dev) << path;
            EXPECT_EQ(file["ino"], facts.st_ino) << path;
            EXPECT_EQ(file["mtime_ns"],
                      std::int64_t(facts.st_mtim.tv_sec) * 1000000000 + facts.st_mtim.tv_nsec)
                << path;
            EXPECT_EQ(file["marked"], false) << path;
        }
    }
    const std::string text = document.dump();
    EXPECT_NE(
        text.find(
            R"("path":")" + Root +
            R"(a.txt","size":9,"mtime":"2023-11-14T22:13:20.123456789Z","mtime_ns":1700000000123456789)"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find(R"("other_names":[{"path":")" + Root + R"(sub/link.txt"}])"),
              std::string::npos)
        << text;
    // "caf\xe9.txt" is no UTF-8: its exact bytes in base64.
    EXPECT_NE(text.find(R"("name_b64":"Y2Fm6S50eHQ=")"), std::string::npos) << text;
    EXPECT_EQ(document["skipped"], nlohmann::ordered_json::array());
}

TEST_F(ParvexCliTest, SizeLimitsLeaveOutSmallerAndLargerFiles) {
    MakeFile("one/small.txt", "ab");
    MakeFile("one/small-copy.txt", "ab");
    MakeFile("two/mid.txt", std::string(1500, 'm'));
    MakeFile("two/mid-copy.txt", std::string(1500, 'm'));
    MakeFile("three/large.txt", std::string(2001, 'l'));
    MakeFile("three/large-copy.txt", std::string(2001, 'l'));
    const TRun run = Run({"--keys", "size,content", "--min-size", "1.5K", "--max-size=2K", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("\t" + Root + "two/mid.txt\n"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("small"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("large"), std::string::npos) << run.Out;
}

TEST_F(ParvexCliTest, NoHiddenLeavesOutDotFilesAndDotFolders) {
    MakeFile("seen.txt", "same");
    MakeFile(".dot.txt", "same");
    MakeFile(".folder/inside.txt", "same");
    MakeFile("plain/also.txt", "same");
    const TRun all = Run({"--keys", "content", Root});
    EXPECT_NE(all.Out.find(".folder/inside.txt"), std::string::npos) << all.Out;
    EXPECT_NE(all.Out.find(".dot.txt"), std::string::npos) << all.Out;
    const TRun run = Run({"--keys", "content", "--no-hidden", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.find(".dot.txt"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find(".folder"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("plain/also.txt"), std::string::npos) << run.Out;
}

TEST_F(ParvexCliTest, NoReadOnlyLeavesOutFilesTheOwnerMayNotWrite) {
    MakeFile("a.txt", "same");
    MakeFile("b.txt", "same");
    MakeFile("locked.txt", "same");
    ASSERT_EQ(::chmod((Root + "locked.txt").c_str(), 0444), 0);
    EXPECT_NE(Run({"--keys", "content", Root}).Out.find("locked.txt"), std::string::npos);
    const TRun run = Run({"--keys", "content", "--no-read-only", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.find("locked.txt"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("b.txt"), std::string::npos) << run.Out;
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

// Excluded folders are matched by what they are, not by how they are spelled.
TEST_F(ParvexCliTest, EverySpellingOfAnExcludedFolderExcludesIt) {
    for (const char* file : {"a.txt", "mid/a.txt", "mid/skip/a.txt"})
        MakeFile(file, "dup");
    const std::string link = Base + "/link-to-skip";
    ASSERT_EQ(::symlink((Root + "mid/skip").c_str(), link.c_str()), 0);
    std::string doubled = "/";
    for (const char c : Root + "mid/skip")
        doubled += c == '/' ? std::string("//") : std::string(1, c);
    for (const std::string& spelling :
         {Root + "mid/skip", Root + "mid/./skip/", Root + "mid/skip/../skip", doubled, link}) {
        const TRun run = Run({"--keys", "content", "--exclude", spelling, Root});
        EXPECT_EQ(run.Status, 0) << spelling << ": " << run.Err;
        EXPECT_EQ(run.Out, Group({"a.txt", "mid/a.txt"})) << "excluded as " << spelling;
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

// Overlapping masks once listed a file twice, as a group of itself that a script then deleted.
TEST_F(ParvexCliTest, MaskListDefaultsToEveryFileAndOverlappingMasksListAPathOnce) {
    MakeFile("README", "text");
    MakeFile("sub/notes.txt", "text");
    EXPECT_EQ(Run({"--keys", "content", Root}).Out, Group({"README", "sub/notes.txt"}));
    EXPECT_EQ(Run({"--keys", "content", Root, "*.txt"}).Out, "");
    EXPECT_EQ(Run({"--keys", "content", Root, "*.txt;*.TXT"}).Out, "");
    EXPECT_EQ(Run({"--keys", "content", Root, "*.txt;READ*"}).Out,
              Group({"sub/notes.txt", "README"}));
    // An empty or blank mask list would search nothing and still exit 0.
    for (const char* blank : {"", " \t "}) {
        const TRun run = Run({"--keys", "content", Root, blank});
        EXPECT_EQ(run.Status, 0) << "mask \"" << blank << "\": " << run.Err;
        EXPECT_EQ(run.Out, Group({"README", "sub/notes.txt"})) << "mask \"" << blank << "\"";
    }
}

TEST_F(ParvexCliTest, StatsGoToStderrAndLeaveStdoutAlone) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    MakeFile("sub/deeper/c.txt", "dup");
    MakeFile("sub/deeper/d.txt", "different");
    const TRun run = Run({"--stats", "--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, Group({"a.txt", "sub/b.txt", "sub/deeper/c.txt"}));
    for (const char* line : {"folders scanned: 3\n", "files collected: 4\n", "groups: 1\n",
                             "files in groups: 3\n", "files and folders not read: 0\n"})
        EXPECT_NE(run.Err.find(line), std::string::npos) << line << "missing in:\n" << run.Err;
    for (const char* figure :
         {"bytes read for content: ", "file table bytes: ", "scan time: ", "compare time: "})
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
    MakeRandomTree(
        20240607, 40, 400,
        {"", "a", "b", "ab", "ba", "abc", "abd", std::string(70000, 'x'), std::string(70000, 'y')});
    ::symlink((Root + "f0").c_str(), (Root + "link-to-file").c_str());
    ::symlink(Root.c_str(), (Root + "d0/link-to-root").c_str());

    const TRun run = Run({"--keys", "size,content", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, TReferenceSearch(Root).Output());
}

// However many threads walk and read, the groups and their order are those of the pairwise pass.
TEST_F(ParvexCliTest, EveryThreadCountGivesThePairwiseResult) {
    MakeRandomTree(20261208, 12, 120,
                   {"", "a", "b", "abc", std::string(70000, 'x'), std::string(69999, 'x') + "y"});
    const std::string expected = TReferenceSearch(Root).Output();
    for (const char* threads : {"0", "1", "2", "5"}) {
        const TRun run = Run({"--threads", threads, "--keys", "size,content", Root});
        EXPECT_EQ(run.Status, 0) << threads << " threads: " << run.Err;
        EXPECT_EQ(run.Out, expected) << threads << " threads";
    }
}

// A tree whose names try to forge lines: one file per level fixes the order of the groups.
class ParvexCliForgedNamesTest : public ParvexCliTest {
protected:
    void SetUp() override {
        ParvexCliTest::SetUp();
        ASSERT_EQ(Root.find_first_of("\\\t\n\r\x7f"), std::string::npos) << Root;
        MakeFile("\tfirst", "group a");
        MakeFile("x\n\t/copy\\of", "group a");
        MakeFile("x\n\t/y/b\r\x01\x7f\xe9", "group b");
        MakeFile("x\n\t/y/z/plain", "group b");
    }
};

// A folder named "x<newline><TAB>" forged a member line, and a file whose name begins with a TAB
// turned a group's head into a member of the group before it.
TEST_F(ParvexCliForgedNamesTest, TextEscapesSoThatNamesCannotForgeLines) {
    const std::string expected = "\\tfirst\n"
                                 "\t" +
                                 Root +
                                 "\\tfirst\n"
                                 "\t" +
                                 Root +
                                 "x\\n\\t/copy\\\\of\n"
                                 "b\\r\\x01\\x7f\xe9\n"
                                 "\t" +
                                 Root +
                                 "x\\n\\t/y/b\\r\\x01\\x7f\xe9\n"
                                 "\t" +
                                 Root + "x\\n\\t/y/z/plain\n";
    for (const std::vector<std::string>& format :
         {std::vector<std::string>{}, {"--format", "text"}, {"--format=text"}}) {
        std::vector<std::string> args = format;
        args.insert(args.end(), {"--keys", "content", Root});
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, expected);
        EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 6) << run.Out;
    }
}

TEST_F(ParvexCliForgedNamesTest, NullFormatKeepsEveryByteAndEndsEachGroupWithAnExtraNul) {
    using namespace std::string_literals;
    const std::string expected = "\tfirst\0"s + Root + "\tfirst\0"s + Root + "x\n\t/copy\\of\0\0"s +
                                 "b\r\x01\x7f\xe9\0"s + Root + "x\n\t/y/b\r\x01\x7f\xe9\0"s + Root +
                                 "x\n\t/y/z/plain\0\0"s;
    for (const std::vector<std::string>& format :
         {std::vector<std::string>{"-0"}, {"--format", "null"}, {"--format=null"}}) {
        std::vector<std::string> args = format;
        args.insert(args.end(), {"--keys", "content", Root});
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, expected) << format.front();
    }
}

TEST_F(ParvexCliForgedNamesTest, NullFormatPathsReachTheFilesTheyName) {
    const TRun run = Run({"-0", "--keys", "content", Root});
    ASSERT_EQ(run.Status, 0) << run.Err;
    std::vector<std::vector<std::string>> groups{{}};
    for (std::size_t begin = 0, end; (end = run.Out.find('\0', begin)) != std::string::npos;
         begin = end + 1) {
        if (end == begin)
            groups.emplace_back();
        else
            groups.back().push_back(run.Out.substr(begin, end - begin));
    }
    ASSERT_EQ(groups.size(), 3u) << "two groups and nothing after the last";
    EXPECT_TRUE(groups.back().empty());
    for (std::size_t g = 0; g < 2; ++g) {
        ASSERT_EQ(groups[g].size(), 3u) << "group " << g;
        const std::string& name = groups[g][0];
        EXPECT_EQ(groups[g][1].substr(groups[g][1].rfind('/') + 1), name);
        EXPECT_EQ(TTempTree::ReadFile(groups[g][1]), g == 0 ? "group a" : "group b");
        EXPECT_EQ(TTempTree::ReadFile(groups[g][2]), TTempTree::ReadFile(groups[g][1]));
    }
}

// The signal is blocked when parvex-cli starts and already pending, so it arrives the moment the
// program unblocks it, whatever the speed of the machine; the run still ends by its handler.
TEST_F(ParvexCliTest, StopSignalEndsTheRunWithStatus128PlusTheSignal) {
    for (int i = 0; i < 30; ++i)
        MakeFile("d" + std::to_string(i % 5) + "/f" + std::to_string(i), "dup");
    const std::string complete = Run({"--keys", "content", Root}).Out;
    ASSERT_NE(complete, "");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t pid = StartWithSignalBlocked({"--keys", "content", Root}, signal, true);
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid, signal), 0) << std::strerror(errno);
        const TRun run = Finish(pid);
        EXPECT_EQ(run.Status, 128 + signal) << "signal " << signal << ": " << run.Err;
        EXPECT_EQ(complete.rfind(run.Out, 0), 0u) << "not a prefix of the complete output:\n"
                                                  << run.Out;
        EXPECT_EQ(run.Err, "") << "signal " << signal;
    }
}

TEST_F(ParvexCliTest, JsonOfAStoppedRunIsWholeAndSaysItIsIncomplete) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    const pid_t pid = StartWithSignalBlocked({"--format", "json", Root}, SIGTERM, true);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGTERM), 0) << std::strerror(errno);
    const TRun run = Finish(pid);
    EXPECT_EQ(run.Status, 128 + SIGTERM) << run.Err;
    const nlohmann::json document = nlohmann::json::parse(run.Out);
    EXPECT_EQ(document["complete"], false) << run.Out;
    EXPECT_EQ(document["format"], "parvex-result") << run.Out;
}

// nohup and shells without job control start a program with signals ignored: they stay ignored.
TEST_F(ParvexCliTest, SignalIgnoredAtStartStaysIgnored) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    // Blocked, the signal stays pending until parvex-cli has decided what to do with it.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGHUP, &ignore, &previous);
    const pid_t pid = StartWithSignalBlocked({"--keys", "content", Root}, SIGHUP, false);
    ::sigaction(SIGHUP, &previous, nullptr);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGHUP), 0) << std::strerror(errno);
    const TRun run = Finish(pid);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Group({"a.txt", "sub/b.txt"}));
}

TEST_F(ParvexCliTest, ResultThatCannotBeWrittenExitsOne) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    StdoutFile = "/dev/full";
    const TRun run = Run({"--keys", "content", Root});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "parvex-cli: cannot write the result: No space left on device\n");
}

// Runs parvex-cli as an unprivileged user when the tests run as root, who may read anything.
class ParvexCliUnreadableTest : public ParvexCliTest {
protected:
    void SetUp() override {
        ParvexCliTest::SetUp();
        if (::geteuid() != 0)
            return;
        if (std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true") != 0)
            GTEST_SKIP() << "running as root and setpriv cannot drop privileges here";
        AsNobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        // The temporary folder is the owner's alone; the unprivileged run must reach the tree.
        ASSERT_EQ(::chmod(Base.c_str(), 0755), 0) << std::strerror(errno);
    }

    void MakeUnreadable(const std::string& relative) {
        ASSERT_EQ(::chmod((Root + relative).c_str(), 0), 0) << relative << std::strerror(errno);
    }

    std::vector<std::string> AsNobody;
};

// Content of the same size as the readable copies, so the comparison has to read it.
TEST_F(ParvexCliUnreadableTest, UnreadableFileIsOneStderrLineAndExitThreeWhenTheEngineReportsIt) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    MakeFile("sub/deeper/secret\nfile", "dup");
    MakeUnreadable("sub/deeper/secret\nfile");
    const TRun run = Run({"--keys", "size,content", Root}, AsNobody);
    EXPECT_EQ(run.Status, 3) << run.Err;
    EXPECT_EQ(run.Out, Group({"a.txt", "sub/b.txt"}));
    EXPECT_EQ(run.Err,
              "parvex-cli: cannot read " + Root + "sub/deeper/secret\\nfile: Permission denied\n");

    const TRun quiet = Run({"--quiet", "--keys", "size,content", Root}, AsNobody);
    EXPECT_EQ(quiet.Status, 3) << quiet.Err;
    EXPECT_EQ(quiet.Out, run.Out);
    EXPECT_EQ(quiet.Err, "");
}

TEST_F(ParvexCliUnreadableTest, UnreadableFolderIsOneStderrLineAndExitThreeWhenTheEngineReportsIt) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    MakeFile("sub/locked/c.txt", "dup");
    MakeUnreadable("sub/locked");
    const TRun run = Run({"-0", "--stats", "--keys", "content", Root}, AsNobody);
    EXPECT_EQ(run.Status, 3) << run.Err;
    using namespace std::string_literals;
    EXPECT_EQ(run.Out, "a.txt\0"s + Root + "a.txt\0"s + Root + "sub/b.txt\0\0"s);
    const std::string line = "parvex-cli: cannot read " + Root + "sub/locked";
    EXPECT_EQ(run.Err.rfind(line, 0), 0u) << run.Err;
    EXPECT_NE(run.Err.find(": Permission denied\n"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("files and folders not read: 1\n"), std::string::npos) << run.Err;
}

TEST_F(ParvexCliUnreadableTest, JsonFormatListsWhatCouldNotBeReadWithTheReason) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    MakeFile("sub/locked/c.txt", "dup");
    MakeUnreadable("sub/locked");
    const TRun run = Run({"--format=json", "--quiet", "--keys", "content", Root}, AsNobody);
    EXPECT_EQ(run.Status, 3) << run.Err;
    const nlohmann::json document = nlohmann::json::parse(run.Out);
    EXPECT_EQ(document["skipped"],
              nlohmann::json::parse(R"([{"path":")" + Root +
                                    R"(sub/locked/","reason":"Permission denied"}])"))
        << run.Out;
    EXPECT_EQ(document["groups"].size(), 1U) << run.Out;
    // Only content was compared: what deleting would free is not known.
    EXPECT_TRUE(document["groups"][0]["wasted"].is_null()) << run.Out;
}

// Without --quiet and with nothing unreadable, a run as the same user says nothing on stderr.
TEST_F(ParvexCliUnreadableTest, ReadableTreeAsTheSameUserExitsZero) {
    MakeFile("a.txt", "dup");
    MakeFile("sub/b.txt", "dup");
    const TRun run = Run({"--keys", "content", Root}, AsNobody);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, Group({"a.txt", "sub/b.txt"}));
    EXPECT_EQ(run.Err, "");
}

} // namespace
