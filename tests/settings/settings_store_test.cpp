#include "settings/settings_store.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

    testing::TTempTree tree;
    fs::path folder;
    std::string file;
};

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

TEST_F(SettingsStoreTest, AnUnreadableFileIsKeptAsBad) {
    // A folder in place of the settings file cannot be read.
    const std::string asFolder = (folder / "sub").string();
    fs::create_directory(asFolder);
    TSettingsStore folderStore(asFolder);
    folderStore.LoadSettings();
    EXPECT_EQ(ReadFile(asFolder), kDefaultText);
    EXPECT_TRUE(fs::is_directory(asFolder + ".bad"));
}

// A broken file that cannot be kept as .bad must not be overwritten by the defaults.
TEST_F(SettingsStoreTest, ABrokenFileThatCannotBeKeptStaysAsItWas) {
    const std::string content = "\r\n<SETTINGS DEFAULT_PATH=\"/w/\">";
    WriteFile(file, content);
    fs::create_directories(file + ".bad/occupied");
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.Document->SaveToText(), kDefaultText) << "the defaults are in memory";
    EXPECT_EQ(ReadFile(file), content) << "the only copy of the broken file was overwritten";
    store.SaveSettings();
    EXPECT_EQ(ReadFile(file), content) << "a later save overwrote the only copy";
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
    store.SaveSettings();
    EXPECT_EQ(ReadFile(file), "\r\n<OPTIONS DEFAULT_PATH=\"/data/\">\r\n\t<EXTRA KEEP=\"1\"/>"
                              "\r\n</OPTIONS>");
}

TEST_F(SettingsStoreTest, AZeroLengthFileIsNoFailureAndStaysEmpty) {
    WriteFile(file, "");
    TSettingsStore store(file);
    store.LoadSettings();
    EXPECT_EQ(store.Document->Name(), "");
    store.Document->SetAttr("DEFAULT_PATH", "/w/");
    EXPECT_EQ(store.Document->GetAttr("DEFAULT_PATH"), "/w/");
    EXPECT_TRUE(store.SaveSettingsTo(file));
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"parvex.set"});
}

TEST_F(SettingsStoreTest, AnUnwritableFolderIsSilent) {
    const std::string missing = (folder / "missing" / "parvex.set").string();
    TSettingsStore store(missing);
    EXPECT_NO_THROW(store.LoadSettings());
    EXPECT_EQ(store.Document->SaveToText(), kDefaultText);
    store.Document->SetAttr("DEFAULT_PATH", "/w/");
    EXPECT_FALSE(store.SaveSettingsTo(missing));
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
    store.SaveSettings();
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
// and keeps the truncated file as .bad.
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
        if (length == full.size() || length == 0) {
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
