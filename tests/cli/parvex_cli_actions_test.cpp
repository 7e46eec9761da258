// The real parvex-cli acting on real temporary trees: each action, the keep rules and protected
// folders, saved results, refusals and the exit statuses.

#include "settings/settings_store.h"
#include "support/kept_facts.h"
#include "support/private_mount.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::OnFreshFileSystem;
using testing::RandomContent;
using testing::TChildRun;
using testing::TTempTree;

struct TCliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// A tree to act on ("tree/"), the per-user configuration and data folders beside it, and the
// output of each run captured in files.
class ParvexCliActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Temp.Folder("tree");
        Temp.Folder("config/parvex");
        Temp.Folder("data");
    }

    TCliRun Run(const std::vector<std::string>& args) const {
        const std::string out = Temp.Path("stdout");
        const std::string err = Temp.Path("stderr");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("XDG_CONFIG_HOME", Temp.Path("config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", Temp.Path("data").c_str(), 1);
            if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
                std::_Exit(120);
            std::vector<std::string> words{PARVEX_CLI_PATH};
            words.insert(words.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& word : words)
                argv.push_back(word.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            std::_Exit(121);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status),
                TTempTree::ReadFile(out), TTempTree::ReadFile(err)};
    }

    // Protected folders in the per-user settings file an installed parvex reads.
    void ProtectInSettings(const std::vector<std::string>& folders) const {
        TSettingsStore settings(Temp.Path("config/parvex/parvex.set"));
        settings.ResetToDefaults();
        settings.WriteList(folders, "PROTECTED");
        ASSERT_TRUE(settings.SaveSettings()) << settings.SaveError();
    }

    std::string Log() const { return TTempTree::ReadFile(Temp.Path("data/parvex/actions.log")); }

    TTempTree Temp;
    std::string Root;
};

TEST_F(ParvexCliActionsTest, EachActionWritesALinePerNameAndLogsWhatItDid) {
    const std::string into = Temp.Folder("into");
    const struct {
        std::vector<std::string> Args;
        std::string Line;
    } cases[] = {
        {{"--trash"}, "trash\tROOTbb/copy\tDATA/Trash/files/copy\n"},
        {{"--move-to", into}, "move\tROOTbb/copy\tINTOcopy\n"},
        {{"--link"}, "hardlink\tROOTbb/copy\tROOTa/copy\n"},
    };
    for (const auto& c : cases) {
        Temp.File("tree/a/copy", "same");
        Temp.File("tree/bb/copy", "same");
        std::vector<std::string> args = c.Args;
        args.insert(args.end(), {"--keep", "shortest-path"});
        args.push_back(Root);
        const TCliRun run = Run(args);
        std::string line = c.Line;
        for (const auto& [word, path] :
             {std::pair{"ROOT", Root}, {"DATA", Temp.Path("data")}, {"INTO", into}})
            for (std::size_t at; (at = line.find(word)) != std::string::npos;)
                line.replace(at, std::string(word).size(), path);
        EXPECT_EQ(run.Status, 0) << c.Args[0] << ": " << run.Err;
        EXPECT_EQ(run.Out, line) << c.Args[0];
        EXPECT_EQ(TTempTree::ReadFile(Root + "a/copy"), "same") << c.Args[0];
        EXPECT_NE(Log().find(line.substr(0, line.size() - 1)), std::string::npos)
            << c.Args[0] << " logged:\n"
            << Log();
        EXPECT_NE(run.Err.find("1 done, 0 skipped"), std::string::npos) << run.Err;
        ::unlink((Root + "bb/copy").c_str());
    }
}

TEST_F(ParvexCliActionsTest, UndoPutsBackEachActionAndSaysByItsStatusWhatItCouldNot) {
    const std::string into = Temp.Folder("into");
    const std::string copy = Root + "bb/copy";
    const struct {
        std::vector<std::string> Action;
        const char* Word;
        bool TakePlace; // a stranger takes the copy's place before the undo
        int Status;
        const char* Line;
    } cases[] = {
        {{"--trash"}, "trash", false, 0, "putback\tCOPY\ttrash\n"},
        {{"--move-to", into}, "move", false, 0, "putback\tCOPY\tmove\n"},
        {{"--link"}, "hardlink", false, 0, "putback\tCOPY\thardlink\n"},
        {{"--trash"}, "trash", true, 3, "skipped\tCOPY\tits place is taken by another file\n"},
    };
    for (const auto& c : cases) {
        Temp.File("tree/a/copy", "same");
        Temp.File("tree/bb/copy", "same");
        std::vector<std::string> args = c.Action;
        args.insert(args.end(), {"--keep", "shortest-path", Root});
        const TCliRun acted = Run(args);
        ASSERT_EQ(acted.Status, 0) << c.Word << ": " << acted.Err;
        ASSERT_NE(acted.Err.find("journalled as run "), std::string::npos) << acted.Err;
        if (c.TakePlace)
            Temp.File("tree/bb/copy", "a stranger");
        const TCliRun undone = Run({"--undo"});
        std::string line = c.Line;
        line.replace(line.find("COPY"), 4, copy);
        EXPECT_EQ(undone.Status, c.Status) << c.Word << ": " << undone.Err;
        EXPECT_EQ(undone.Out, line) << c.Word;
        EXPECT_EQ(TTempTree::ReadFile(copy), c.TakePlace ? "a stranger" : "same") << c.Word;
        ::unlink(copy.c_str());
    }
    const TCliRun listed = Run({"--list-runs"});
    EXPECT_EQ(listed.Status, 0) << listed.Err;
    EXPECT_EQ(std::count(listed.Out.begin(), listed.Out.end(), '\n'), 4) << listed.Out;
    EXPECT_NE(listed.Out.find("\tparvex-cli\thardlink 1\tundone\n"), std::string::npos)
        << listed.Out;
    const struct {
        std::vector<std::string> Args;
        int Status;
    } refusals[] = {{{"--undo"}, 2}, {{"--undo=no-such-run"}, 2}, {{"--undo", Root}, 2}};
    for (const auto& r : refusals)
        EXPECT_EQ(Run(r.Args).Status, r.Status) << r.Args.back();
}

// A file found under two names arrives in a folder on another file system as one file with
// both names, not as two copies.
TEST_F(ParvexCliActionsTest, MoveToTakesEveryNameOfAFileTogether) {
    TTempTree other("/dev/shm");
    const std::string into = other.Folder("into");
    Temp.File("tree/a/keep", "same");
    Temp.File("tree/bb/copy", "same");
    Temp.HardLink("tree/bb/second", "tree/bb/copy");
    if (TTempTree::SameFileSystem(into, Root))
        GTEST_SKIP() << "/dev/shm is on the file system of the temporary folder here";
    const TCliRun run = Run({"--move-to", into, "--keep", "in:" + Root + "a", Root});
    EXPECT_EQ(run.Status, 0) << run.Err;
    for (const char* name : {"copy", "second"}) {
        EXPECT_NE(run.Out.find("move\t" + Root + "bb/" + name + "\t" + into + name + "\n"),
                  std::string::npos)
            << run.Out;
        EXPECT_FALSE(TTempTree::Exists(Root + "bb/" + name)) << name;
    }
    struct stat copy {};
    struct stat second {};
    ASSERT_EQ(::stat((into + "copy").c_str(), &copy), 0);
    ASSERT_EQ(::stat((into + "second").c_str(), &second), 0);
    EXPECT_EQ(copy.st_ino, second.st_ino) << "the names arrived as two files";
    EXPECT_EQ(copy.st_nlink, 2u);
}

TEST_F(ParvexCliActionsTest, KeepRulesAndProtectedFoldersChooseTheCopyThatStays) {
    Temp.File("tree/old/x", "same", 1000);
    Temp.File("tree/new/x", "same", 3000);
    Temp.File("tree/settings-safe/x", "same", 2000);
    Temp.File("tree/cli-safe/x", "same", 2000);
    const struct {
        std::vector<std::string> Args;
        std::vector<std::string> Staying;
        std::string Protected;
    } cases[] = {
        {{"--keep", "newest"}, {"new/x"}, "protected folders: none"},
        {{"--keep", "oldest"}, {"old/x"}, "protected folders: none"},
        {{"--keep", "glob:*/CLI-*", "--keep", "oldest"}, {"cli-safe/x"}, ""},
        {{"--keep", "in:" + Root + "old/../new"}, {"new/x"}, ""},
        {{"--keep", "newest", "--protect", Root + "cli-safe"},
         {"settings-safe/x", "cli-safe/x"},
         "protected folders: '" + Root + "settings-safe/' '" + Root + "cli-safe/'"},
    };
    for (const auto& c : cases) {
        ProtectInSettings(c.Args.size() > 2 && c.Args[2] == "--protect"
                              ? std::vector<std::string>{Root + "settings-safe/"}
                              : std::vector<std::string>{});
        std::vector<std::string> args{"--link", "--dry-run", "--keys", "size,content"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        args.push_back(Root);
        const TCliRun run = Run(args);
        EXPECT_EQ(run.Status, 0) << c.Args[1] << ": " << run.Err;
        for (const char* name : {"old/x", "new/x", "settings-safe/x", "cli-safe/x"}) {
            const bool stays = std::ranges::find(c.Staying, name) != c.Staying.end();
            EXPECT_EQ(run.Out.find("\t" + Root + name + "\t") == std::string::npos, stays)
                << c.Args[1] << ", " << name << ":\n"
                << run.Out;
        }
        EXPECT_NE(run.Err.find(c.Protected), std::string::npos) << run.Err;
        EXPECT_EQ(Log(), "") << "a dry run logged";
    }
}

TEST_F(ParvexCliActionsTest, ASavedResultIsActedOnByItsMarksAndOnlyInsideItsStartFolder) {
    Temp.File("tree/a", "same");
    Temp.File("tree/b", "same");
    Temp.File("tree/c", "same");
    const std::string outside = Temp.File("outside", "same");
    const TCliRun search = Run({"--format", "json", Root});
    ASSERT_EQ(search.Status, 0) << search.Err;
    nlohmann::json result = nlohmann::json::parse(search.Out);
    auto& files = result["groups"][0]["files"];
    ASSERT_EQ(files.size(), 3u) << result.dump();
    files[2]["marked"] = true;
    nlohmann::json stranger = files[1];
    stranger["path"] = outside;
    stranger["marked"] = true;
    struct stat outsideFacts {};
    ASSERT_EQ(::stat(outside.c_str(), &outsideFacts), 0);
    stranger["ino"] = outsideFacts.st_ino; // a file listed twice makes the document unreadable
    files.push_back(stranger);
    std::ofstream(Temp.Path("result.json")) << result.dump();

    const TCliRun refused = Run({"--from", Temp.Path("result.json"), "--trash", "--keep", "first"});
    EXPECT_EQ(refused.Status, 2) << refused.Err;
    const TCliRun run = Run({"--from", Temp.Path("result.json"), "--trash"});
    EXPECT_EQ(run.Status, 3) << run.Err;
    const std::string marked = files[2]["path"];
    EXPECT_NE(run.Out.find("trash\t" + marked + "\t"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("skipped\t" + outside + "\toutside the start folder of the result\n"),
              std::string::npos)
        << run.Out;
    EXPECT_FALSE(TTempTree::Exists(marked));
    EXPECT_TRUE(TTempTree::Exists(outside));
    EXPECT_TRUE(TTempTree::Exists(files[0]["path"]) && TTempTree::Exists(files[1]["path"]));
}

TEST_F(ParvexCliActionsTest, DedupeSharesStorageOnceThenFindsItSharedAndNeverCountsItFreed) {
    const TChildRun shared = OnFreshFileSystem(Temp, "btrfs", [this](const std::string& folder) {
        const std::string content = RandomContent(70000, 5);
        Temp.File("btrfs/a/copy", content);
        Temp.File("btrfs/bb/copy", content);
        std::string report;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--dry-run"}, {}, {"--format", "json"}}) {
            std::vector<std::string> command{"--dedupe", "--keep", "shortest-path"};
            command.insert(command.end(), args.begin(), args.end());
            command.push_back(folder);
            const TCliRun run = Run(command);
            std::string out = run.Out;
            for (std::size_t at; (at = out.find(folder)) != std::string::npos;)
                out.replace(at, folder.size(), "MOUNT/");
            if (args.size() == 2) {
                const nlohmann::json document = nlohmann::json::parse(out);
                out = document["entries"].dump() + " shared " + document["shared"].dump() +
                      ", freed " + document["freed"].dump() + "\n";
            }
            const std::string summary = run.Err.substr(0, run.Err.find('\n') + 1);
            report += std::to_string(run.Status) + ": " + out + summary;
        }
        const std::string logged = Log();
        return report + (logged.find("\tshare\t" + folder + "bb/copy\t" + folder + "a/copy\n") !=
                                 std::string::npos
                             ? "logged once"
                             : "logged: " + logged);
    });
    if (!shared.Ran)
        GTEST_SKIP() << shared.Output;
    EXPECT_EQ(shared.Output,
              "0: share\tMOUNT/bb/copy\tMOUNT/a/copy\n"
              "parvex-cli: dry run, would share: 1 to do, 0 skipped\n"
              "0: share\tMOUNT/bb/copy\tMOUNT/a/copy\n"
              "parvex-cli: share: 1 done, 0 skipped, 70000 bytes now shared\n"
              "3: [{\"action\":\"skipped\",\"path\":\"MOUNT/bb/copy\",\"reason\":\"already "
              "shares its storage with the kept copy\"}] shared 0, freed 0\n"
              "parvex-cli: share: 0 done, 1 skipped, 0 bytes now shared\n"
              "logged once");
}

TEST_F(ParvexCliActionsTest, RefusalsChangeNothing) {
    const std::string copy = Temp.File("tree/b", "same");
    Temp.File("tree/a", "same");
    const std::string badSettings = Temp.Path("config/parvex/parvex.set");
    const struct {
        std::vector<std::string> Args;
        int Status;
        std::string Message;
        bool UnreadableSettings = false;
    } cases[] = {
        {{"--move-to", Temp.Path("missing"), Root}, 2, "the folder of --move-to"},
        {{"--trash", "--keys", "name,size", Root}, 2, "only files compared by content"},
        {{"--trash", "--from", Temp.Path("missing.json")}, 2, "cannot read the result"},
        {{"--trash", Root}, 1, "cannot read the protected folders", true},
    };
    for (const auto& c : cases) {
        if (c.UnreadableSettings)
            std::ofstream(badSettings) << "<SETTINGS";
        const TCliRun run = Run(c.Args);
        EXPECT_EQ(run.Status, c.Status) << c.Message << ": " << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out, "") << c.Message;
        EXPECT_TRUE(TTempTree::Exists(copy)) << c.Message;
        EXPECT_EQ(TTempTree::ReadFile(badSettings), c.UnreadableSettings ? "<SETTINGS" : "")
            << "the settings file was written";
    }
}

} // namespace
} // namespace parvex
