#include "settings/settings_store.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace parvex {
namespace {

namespace fs = std::filesystem;

const std::string kDefaultText = "\r\n<SETTINGS/>";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(tree.Root()).parent_path(); // without the final "/"
        file = tree.Path("parvex.set");
        userFile = userTree.Path("config/parvex/parvex.set");
    }

    static void WriteFile(const std::string& Path, const std::string& Bytes) {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }
    static std::string ReadFile(const std::string& Path) {
        std::ifstream in(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs Body in a child process as an unprivileged user (root may write anywhere), with the
    // test's folders open to it; passes when Body returns true.
    void AsUnprivilegedUser(const std::function<bool()>& Body) {
        chmod(folder.c_str(), 0777);
        chmod(userTree.Root().c_str(), 0777);
        GTEST_FLAG_SET(death_test_style, "fast");
        EXPECT_EXIT(
            {
                if (getuid() == 0 &&
                    setresgid(65534, 65534, 65534) + setresuid(65534, 65534, 65534) != 0) {
                    std::_Exit(2);
                }
                std::_Exit(Body() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }

    testing::TTempTree tree;
    testing::TTempTree userTree;
    fs::path folder;
    std::string file;
    std::string userFile;
};

TEST_F(SettingsStoreTest, ReadingOnlyWritesNothingWhateverTheFileHolds) {
    const struct {
        const char* What;
        std::optional<std::string> Bytes;
        bool Read;
        std::vector<std::string> Protected;
    } cases[] = {
        {"missing", std::nullopt, true, {}},
        {"a list",
         "\r\n<SETTINGS>\r\n  <PROTECTED>\r\n    <LIST_ITEM VAL=\"/safe/\"/>\r\n"
         "  </PROTECTED>\r\n</SETTINGS>",
         true,
         {"/safe/"}},
        {"broken", "<SETTINGS", false, {}},
    };
    for (const auto& c : cases) {
        if (c.Bytes)
            WriteFile(file, *c.Bytes);
        else
            fs::remove(file);
        const std::vector<std::string> before = FolderEntries();
        TSettingsStore store(file);
        std::string reason;
        EXPECT_EQ(store.ReadSettingsOnly(reason), c.Read) << c.What << ": " << reason;
        std::vector<std::string> folders;
        store.ReadList(folders, "PROTECTED");
        EXPECT_EQ(folders, c.Protected) << c.What;
        EXPECT_EQ(FolderEntries(), before) << c.What << ": something was written";
        if (c.Bytes) {
            EXPECT_EQ(ReadFile(file), *c.Bytes) << c.What;
        }
    }
}

TEST_F(SettingsStoreTest, FirstStartWritesTheDefaultDocument) {
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.Document->SaveToText(), kDefaultText);
    EXPECT_EQ(ReadFile(file), kDefaultText);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"parvex.set"}) << "nothing to keep as .bad";
}

TEST_F(SettingsStoreTest, ABrokenFileIsKeptAsBadAndReplacedByDefaults) {
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"unclosed element", "\r\n<SETTINGS DEFAULT_PATH=\"/w/\">\r\n\t<COMPARE_COND NAME=\"Y\">"},
        {"only blanks", "\r\n \r\n"},
        {"no tag at all", "DEFAULT_PATH=/w/"},
    };
    for (const auto& c : cases) {
        WriteFile(file + ".bad", "an older broken file");
        WriteFile(file, c.content);
        TSettingsStore store(file);
        store.LoadSettings();
        EXPECT_EQ(store.Document->SaveToText(), kDefaultText) << c.what;
        EXPECT_EQ(ReadFile(file), kDefaultText) << c.what;
        EXPECT_EQ(ReadFile(file + ".bad"), c.content) << c.what;
    }
}

// A folder in place of the settings file is not read, not moved and not replaced; the
// settings live in the per-user file, also in the next run.
TEST_F(SettingsStoreTest, AFolderInPlaceOfTheFileStaysAndTheUserFileTakesOver) {
    fs::create_directories(file + "/inside");
    {
        TSettingsStore store(file, userFile);
        store.LoadSettings();
        EXPECT_TRUE(store.LoadReport().Unreadable);
        EXPECT_EQ(store.LoadReport().Reason, "not a regular file");
        EXPECT_EQ(store.LoadReport().KeptAs, "");
        EXPECT_EQ(store.LoadReport().SavedTo, userFile);
        EXPECT_EQ(ReadFile(userFile), kDefaultText) << "the defaults are written at once";
        store.Document->SetAttr("DEFAULT_PATH", "/w/");
        EXPECT_TRUE(store.SaveSettings());
    }
    EXPECT_TRUE(fs::is_directory(file + "/inside"));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"parvex.set"}) << "nothing kept as .bad";
    TSettingsStore nextRun(file, userFile);
    nextRun.LoadSettings();
    EXPECT_EQ(nextRun.Document->GetAttr("DEFAULT_PATH"), "/w/");
}

// A broken file that cannot be kept as .bad must not be overwritten by the defaults.
// Every kept name is taken by something that cannot be moved over: a full folder where a
// file would go, a file where a folder would go.
TEST_F(SettingsStoreTest, ABrokenFileThatCannotBeKeptStaysAsItWas) {
    const std::string content = "\r\n<SETTINGS DEFAULT_PATH=\"/w/\">";
    WriteFile(file, content);
    fs::create_directories(file + ".bad/occupied");
    WriteFile(file + ".bad.1", "a file");
    fs::create_directories(file + ".bad.2/occupied");
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.Document->SaveToText(), kDefaultText) << "the defaults are in memory";
    EXPECT_TRUE(store.LoadReport().Unreadable);
    EXPECT_EQ(store.LoadReport().KeptAs, "");
    EXPECT_EQ(ReadFile(file), content) << "the only copy of the broken file was overwritten";
    EXPECT_FALSE(store.SaveSettings());
    EXPECT_NE(store.SaveError().find(file + ": "), std::string::npos) << store.SaveError();
    EXPECT_EQ(ReadFile(file), content) << "a later save overwrote the only copy";

    TSettingsStore withUserFile(file, userFile);
    withUserFile.LoadSettings();
    EXPECT_EQ(withUserFile.LoadReport().SavedTo, userFile);
    EXPECT_TRUE(withUserFile.SaveSettings());
    EXPECT_EQ(ReadFile(userFile), kDefaultText);
    EXPECT_EQ(ReadFile(file), content);
}

TEST_F(SettingsStoreTest, UnreadableFilesAreKeptAsThreeRotatingCopies) {
    for (const char* broken : {"<ONE>", "<TWO>", "<THREE>", "<FOUR>"}) {
        WriteFile(file, broken);
        TSettingsStore store(file);
        store.LoadSettings();
        EXPECT_EQ(store.LoadReport().KeptAs, file + ".bad");
        EXPECT_EQ(store.LoadReport().Reason, "Syntax error");
        EXPECT_EQ(ReadFile(file), kDefaultText);
    }
    EXPECT_EQ(ReadFile(file + ".bad"), "<FOUR>");
    EXPECT_EQ(ReadFile(file + ".bad.1"), "<THREE>");
    EXPECT_EQ(ReadFile(file + ".bad.2"), "<TWO>");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"parvex.set", "parvex.set.bad",
                                                         "parvex.set.bad.1", "parvex.set.bad.2"}))
        << "the oldest copy goes";
}

// The check runs in a child process that cannot read the file (as nobody when run as root).
TEST_F(SettingsStoreTest, AFileWithoutReadPermissionIsKeptAsBad) {
    const std::string content = "\r\n<SETTINGS DEFAULT_PATH=\"/secret/\"/>";
    WriteFile(file, content);
    chmod(file.c_str(), 0200);
    chmod(folder.c_str(), 0777);
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            if (getuid() == 0 &&
                setresgid(65534, 65534, 65534) + setresuid(65534, 65534, 65534) != 0) {
                std::_Exit(2);
            }
            TSettingsStore store(file);
            store.LoadSettings();
            const bool fellBack =
                store.Document->SaveToText() == kDefaultText && ReadFile(file) == kDefaultText;
            std::_Exit(fellBack ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile(file + ".bad"), content);
}

TEST_F(SettingsStoreTest, AnotherRootNameIsAcceptedAndKept) {
    WriteFile(file, "<OPTIONS DEFAULT_PATH=\"/data/\"><EXTRA KEEP=\"1\"/></OPTIONS>");
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.Document->GetAttr("default_path"), "/data/");
    EXPECT_TRUE(store.SaveSettings());
    EXPECT_EQ(ReadFile(file), "\r\n<OPTIONS DEFAULT_PATH=\"/data/\">\r\n\t<EXTRA KEEP=\"1\"/>"
                              "\r\n</OPTIONS>");
}

// Such files read as a root without a name, which every save would write back as 0 bytes.
TEST_F(SettingsStoreTest, EmptyAllNulAndUnnamedRootFilesAreUnreadable) {
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"zero length", ""},
        {"all NUL", std::string(64, '\0')},
        {"unnamed root", "< DEFAULT_PATH=\"/w/\"/>"},
        {"NUL before the root", std::string("\0<SETTINGS/>", 12)},
    };
    for (const auto& c : cases) {
        fs::remove(file + ".bad");
        WriteFile(file, c.content);
        TSettingsStore store(file);
        store.LoadSettings();
        EXPECT_TRUE(store.LoadReport().Unreadable) << c.what;
        EXPECT_EQ(store.LoadReport().KeptAs, file + ".bad") << c.what;
        EXPECT_EQ(ReadFile(file + ".bad"), c.content) << c.what;
        EXPECT_EQ(ReadFile(file), kDefaultText) << c.what;
        store.Document->SetAttr("DEFAULT_PATH", "/kept/");
        EXPECT_TRUE(store.SaveSettings()) << c.what;
        EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS DEFAULT_PATH=\"/kept/\"/>") << c.what;
    }
}

TEST_F(SettingsStoreTest, ADocumentWithoutRootNameIsNeverWritten) {
    WriteFile(file, kDefaultText);
    TSettingsStore store(file);
    store.LoadSettings();
    store.Document->Clear();
    EXPECT_FALSE(store.SaveSettings());
    EXPECT_EQ(store.SaveError(), file + ": the settings document has no root name");
    EXPECT_EQ(ReadFile(file), kDefaultText);
}

TEST_F(SettingsStoreTest, NestingDeeperThan32LevelsIsUnreadable) {
    const auto chain = [](int levels) {
        std::string text;
        for (int i = 1; i < levels; ++i) {
            text += i == 1 ? "<SETTINGS>" : "<L>";
        }
        text += "<LAST/>";
        for (int i = levels - 1; i > 1; --i) {
            text += "</L>";
        }
        return text + "</SETTINGS>";
    };
    WriteFile(file, chain(32));
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_FALSE(store.LoadReport().Unreadable);
    EXPECT_EQ(ReadFile(file), chain(32));

    WriteFile(file, chain(33));
    TSettingsStore tooDeep(file);
    tooDeep.LoadSettings();
    EXPECT_TRUE(tooDeep.LoadReport().Unreadable);
    EXPECT_EQ(tooDeep.LoadReport().Reason, "nested deeper than 32 levels");
    EXPECT_EQ(tooDeep.Document->SaveToText(), kDefaultText);
    EXPECT_EQ(ReadFile(file + ".bad"), chain(33));
}

// The FIFO's writing end is opened by a helper thread: should the store ever open the FIFO
// for reading, both ends meet, the helper closes its end and the store reads an empty file
// (and the test fails) instead of hanging.
TEST_F(SettingsStoreTest, AFifoIsNeitherReadNorMovedNorReplaced) {
    tree.Fifo("parvex.set");
    std::thread writer([this] {
        const int end = open(file.c_str(), O_WRONLY | O_CLOEXEC);
        if (end >= 0) {
            close(end);
        }
    });
    TSettingsStore store(file, userFile);
    store.LoadSettings();
    store.Document->SetAttr("DEFAULT_PATH", "/w/");
    const bool saved = store.SaveSettings();
    const int reader = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // frees the helper
    writer.join();
    close(reader);

    EXPECT_TRUE(store.LoadReport().Unreadable);
    EXPECT_EQ(store.LoadReport().Reason, "not a regular file");
    EXPECT_EQ(store.LoadReport().KeptAs, "");
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadFile(userFile), "\r\n<SETTINGS DEFAULT_PATH=\"/w/\"/>");
    struct stat info {};
    ASSERT_EQ(lstat(file.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"parvex.set"});
}

TEST_F(SettingsStoreTest, ALinkToADeviceIsNotFollowedIntoIt) {
    tree.Link("parvex.set", "/dev/zero");
    TSettingsStore store(file, userFile);
    store.LoadSettings();
    EXPECT_TRUE(store.LoadReport().Unreadable);
    EXPECT_EQ(store.LoadReport().Reason, "not a regular file");
    EXPECT_TRUE(store.SaveSettings());
    EXPECT_EQ(fs::read_symlink(file), "/dev/zero");
    EXPECT_EQ(ReadFile(userFile), kDefaultText);
}

TEST_F(SettingsStoreTest, ABrokenLinkStaysAndTheUserFileTakesOver) {
    tree.Link("parvex.set", tree.Path("nowhere/parvex.set"));
    {
        TSettingsStore store(file, userFile);
        store.LoadSettings();
        EXPECT_TRUE(store.LoadReport().Unreadable);
        EXPECT_EQ(store.LoadReport().Reason, "a symbolic link to nothing");
        EXPECT_EQ(store.LoadReport().KeptAs, "");
        store.Document->SetAttr("DEFAULT_PATH", "/w/");
        EXPECT_TRUE(store.SaveSettings());
        EXPECT_FALSE(store.SaveSettingsTo(file)) << "the link is not replaced";
    }
    EXPECT_EQ(fs::read_symlink(file), tree.Path("nowhere/parvex.set"));
    EXPECT_FALSE(fs::exists(tree.Path("nowhere")));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"parvex.set"});
    TSettingsStore nextRun(file, userFile);
    nextRun.LoadSettings();
    EXPECT_EQ(nextRun.Document->GetAttr("DEFAULT_PATH"), "/w/");

    TSettingsStore withoutUserFile(file);
    withoutUserFile.LoadSettings();
    EXPECT_FALSE(withoutUserFile.SaveSettings());
    EXPECT_EQ(withoutUserFile.SaveError(), file + ": the unreadable file there is left as it is");
}

TEST_F(SettingsStoreTest, AFileLargerThan64MiBIsNotRead) {
    tree.SparseFile("parvex.set", (64LL << 20) + 1, '>');
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_TRUE(store.LoadReport().Unreadable);
    EXPECT_EQ(store.LoadReport().Reason, "larger than 64 MiB");
    EXPECT_EQ(store.LoadReport().KeptAs, file + ".bad");
    EXPECT_EQ(fs::file_size(file + ".bad"), (64u << 20) + 1);
    EXPECT_EQ(ReadFile(file), kDefaultText);
}

// The program's folder cannot be written: a save goes to the per-user file, the settings file
// stays as it was.
TEST_F(SettingsStoreTest, ASaveIntoAReadOnlyFolderGoesToTheUserFile) {
    const std::string old = "\r\n<SETTINGS DEFAULT_PATH=\"/old/\"/>";
    const std::string readOnly = tree.Folder("program") + "parvex.set";
    WriteFile(readOnly, old);
    chmod(tree.Path("program").c_str(), 0555);
    const std::string perUser = userFile;
    AsUnprivilegedUser([&] {
        TSettingsStore store(readOnly, perUser);
        store.LoadSettings();
        store.Document->SetAttr("DEFAULT_PATH", "/new/");
        TSettingsStore missing(tree.Path("program/other.set"), perUser + ".2");
        missing.LoadSettings();
        const bool saved = !store.LoadReport().Unreadable && store.SaveSettings() &&
                           ReadFile(perUser) == "\r\n<SETTINGS DEFAULT_PATH=\"/new/\"/>" &&
                           ReadFile(perUser + ".2") == kDefaultText && ReadFile(readOnly) == old;
        // The next run finds the per-user file newer than the one it cannot replace.
        TSettingsStore nextRun(readOnly, perUser);
        nextRun.LoadSettings();
        return saved && nextRun.Document->GetAttr("DEFAULT_PATH") == "/new/";
    });
    EXPECT_EQ(ReadFile(readOnly), old);
    EXPECT_FALSE(fs::exists(tree.Path("program/other.set")));
}

TEST_F(SettingsStoreTest, AnUnwritableFolderIsSilent) {
    const std::string missing = (folder / "missing" / "parvex.set").string();
    TSettingsStore store(missing);
    EXPECT_NO_THROW(store.LoadSettings());
    EXPECT_EQ(store.Document->SaveToText(), kDefaultText);
    EXPECT_FALSE(store.LoadReport().Unreadable);
    store.Document->SetAttr("DEFAULT_PATH", "/w/");
    EXPECT_FALSE(store.SaveSettingsTo(missing));
    EXPECT_EQ(store.SaveError(), missing + ": No such file or directory");
    EXPECT_EQ(store.Document->GetAttr("DEFAULT_PATH"), "/w/");
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

// Regression: a failed save used to leave a truncated settings file behind.
TEST_F(SettingsStoreTest, AFailedSaveLeavesTheOldFileWhole) {
    const std::string old = "\r\n<SETTINGS DEFAULT_PATH=\"/old/\"/>";
    WriteFile(file, old);
    TSettingsStore store(file);
    store.LoadSettings();
    store.Document->SetAttr("DEFAULT_PATH", "/new/");
    const std::string blocked = (folder / "blocked").string();
    fs::create_directories(blocked + "/inside"); // rename cannot replace a non-empty folder
    EXPECT_FALSE(store.SaveSettingsTo(blocked));
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"blocked", "parvex.set"}))
        << "the temporary file is removed";
    EXPECT_EQ(store.Document->GetAttr("DEFAULT_PATH"), "/new/");
}

TEST_F(SettingsStoreTest, SavingReplacesTheFileAndKeepsItsPermissions) {
    WriteFile(file, "\r\n<SETTINGS/>");
    chmod(file.c_str(), 0640);
    TSettingsStore store(file);
    store.LoadSettings();
    store.Document->SetAttr("DEFAULT_PATH", "/w/");
    EXPECT_TRUE(store.SaveSettingsTo(file));
    EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS DEFAULT_PATH=\"/w/\"/>");
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"parvex.set"});
}

TEST_F(SettingsStoreTest, ListsKeepEmptyEntriesAndReadForeignChildren) {
    WriteFile(file, "<SETTINGS><DONT_SEARCH_IN><OTHER VAL=\"/a/\"/><LIST_ITEM/><X Y=\"1\"/>"
                    "</DONT_SEARCH_IN></SETTINGS>");
    TSettingsStore store(file);
    store.LoadSettings();
    std::vector<std::string> entries{"stale"};
    store.ReadList(entries, " dont_search_in\t");
    EXPECT_EQ(entries, (std::vector<std::string>{"/a/", "", ""}));

    store.WriteList({"*.jpg", "", "*.doc"}, "LAST_USED_EXTS");
    store.ReadList(entries, "LAST_USED_EXTS");
    EXPECT_EQ(entries, (std::vector<std::string>{"*.jpg", "", "*.doc"}));
    EXPECT_EQ(
        store.Document->FindChild("LAST_USED_EXTS")->SaveToText(),
        "\r\n\t<LAST_USED_EXTS>"
        "\r\n\t\t<LIST_ITEM VAL=\"*.jpg\"/>\r\n\t\t<LIST_ITEM/>\r\n\t\t<LIST_ITEM VAL=\"*.doc\"/>"
        "\r\n\t</LAST_USED_EXTS>");

    store.WriteList({}, "LAST_USED_EXTS");
    EXPECT_EQ(store.Document->FindChild("LAST_USED_EXTS")->SaveToText(), "\r\n\t<LAST_USED_EXTS/>");
}

TEST_F(SettingsStoreTest, ReadingAListThatWasNeverWrittenCreatesItsSection) {
    TSettingsStore store(file);
    store.LoadSettings();
    std::vector<std::string> entries{"stale"};
    store.ReadList(entries, "LAST_USED_EXTS");
    EXPECT_TRUE(entries.empty());
    store.ReadList(entries, "DONT_SEARCH_IN");
    EXPECT_TRUE(store.SaveSettings());
    EXPECT_EQ(ReadFile(file),
              "\r\n<SETTINGS>\r\n\t<LAST_USED_EXTS/>\r\n\t<DONT_SEARCH_IN/>\r\n</SETTINGS>");
}

TEST_F(SettingsStoreTest, ABlankListNameDoesNothing) {
    TSettingsStore store(file);
    store.LoadSettings();
    std::vector<std::string> entries{"kept"};
    store.ReadList(entries, " \t");
    store.WriteList({"x"}, "");
    EXPECT_EQ(entries, std::vector<std::string>{"kept"});
    EXPECT_EQ(store.Document->ChildCount(), 0);
}

TEST_F(SettingsStoreTest, SizeLimitsAreRootAttributesInBytes) {
    WriteFile(file, "<SETTINGS MIN_SIZE=\"1.5K\" MAX_SIZE=\"lots\"/>");
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.ReadSizeLimit(TSettingsStore::MinSizeAttribute), 1500);
    EXPECT_EQ(store.ReadSizeLimit(TSettingsStore::MaxSizeAttribute), std::nullopt);

    store.WriteSizeLimit(TSettingsStore::MinSizeAttribute, std::nullopt);
    store.WriteSizeLimit(TSettingsStore::MaxSizeAttribute, 2000000000);
    EXPECT_TRUE(store.SaveSettings()) << store.SaveError();
    EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS MAX_SIZE=\"2000000000\"/>");
    TSettingsStore again(file);
    again.LoadSettings();
    EXPECT_EQ(again.ReadSizeLimit("MIN_SIZE"), std::nullopt);
    EXPECT_EQ(again.ReadSizeLimit("MAX_SIZE"), 2000000000);
}

TEST_F(SettingsStoreTest, RememberingComparedFilesIsOnUnlessTheStoreSectionSaysZero) {
    const struct {
        const char* Document;
        bool Remember;
    } cases[] = {{"<SETTINGS/>", true},
                 {"<SETTINGS><STORE/></SETTINGS>", true},
                 {"<SETTINGS><STORE REMEMBER=\"1\"/></SETTINGS>", true},
                 {"<SETTINGS><STORE REMEMBER=\"0\"/></SETTINGS>", false}};
    for (const auto& c : cases) {
        WriteFile(file, c.Document);
        TSettingsStore store(file);
        store.LoadSettings();
        EXPECT_EQ(store.ReadRememberCompared(), c.Remember) << c.Document;
    }
    TSettingsStore store(file);
    store.LoadSettings();
    store.WriteRememberCompared(false);
    EXPECT_TRUE(store.SaveSettings()) << store.SaveError();
    EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS>\r\n\t<STORE REMEMBER=\"0\"/>\r\n</SETTINGS>");
}

TEST_F(SettingsStoreTest, ReadersAreARootAttributeMissingForAutomatic) {
    const struct {
        const char* Stored;
        int Readers;
    } cases[] = {{"4", 4},  {"1", 1},   {"64", 64}, {"0", 0}, {"65", 0},
                 {"-2", 0}, {"two", 0}, {"3 ", 0},  {"", 0}};
    for (const auto& c : cases) {
        WriteFile(file, std::string("<SETTINGS READERS=\"") + c.Stored + "\"/>");
        TSettingsStore store(file);
        store.LoadSettings();
        EXPECT_EQ(store.ReadReaders(), c.Readers) << c.Stored;
    }

    TSettingsStore store(file);
    store.LoadSettings();
    store.WriteReaders(12);
    EXPECT_TRUE(store.SaveSettings()) << store.SaveError();
    EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS READERS=\"12\"/>");
    for (const int automatic : {0, -1, 65}) {
        store.WriteReaders(automatic);
        EXPECT_TRUE(store.SaveSettings()) << store.SaveError();
        EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS/>") << automatic << " leaves no attribute";
    }
}

TEST_F(SettingsStoreTest, GetSectionFindsOrAppends) {
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.GetSection(nullptr, "X"), nullptr);
    TVelPigger* first = store.GetSection(store.Document.get(), "compare_cond");
    TVelPigger* second = store.GetSection(store.Document.get(), "DONT_SEARCH_IN");
    EXPECT_EQ(store.GetSection(store.Document.get(), "COMPARE_COND"), first);
    EXPECT_EQ(first->Name(), "COMPARE_COND");
    EXPECT_EQ(store.Document->GetChild(0), first);
    EXPECT_EQ(store.Document->GetChild(1), second);
}

// Every truncation of a settings file either loads completely or falls back to the defaults
// and keeps the truncated file as .bad; the empty one too.
TEST_F(SettingsStoreTest, EveryPrefixOfASettingsFileLoadsOrFallsBack) {
    const std::string full =
        "\r\n<SETTINGS DEFAULT_PATH=\"/home/u/\">\r\n\t<COMPARE_COND NAME=\"Y\"/>"
        "\r\n\t<LAST_USED_EXTS>\r\n\t\t<LIST_ITEM VAL=\"*.jpg\"/>"
        "\r\n\t</LAST_USED_EXTS>\r\n</SETTINGS>";
    for (std::size_t length = 0; length <= full.size(); ++length) {
        const std::string prefix = full.substr(0, length);
        fs::remove(file + ".bad");
        WriteFile(file, prefix);
        TSettingsStore store(file);
        store.LoadSettings();
        if (length == full.size()) {
            EXPECT_EQ(store.Document->SaveToText(), prefix) << "prefix of " << length;
            EXPECT_FALSE(fs::exists(file + ".bad")) << "prefix of " << length;
        } else {
            EXPECT_EQ(store.Document->SaveToText(), kDefaultText) << "prefix of " << length;
            EXPECT_EQ(ReadFile(file), kDefaultText) << "prefix of " << length;
            EXPECT_EQ(ReadFile(file + ".bad"), prefix) << "prefix of " << length;
        }
    }
}

} // namespace
} // namespace parvex
