#include "platform/executable_path.h"
#include "platform/file_io.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFileBesideTest, ExtensionReplacedOrAppended) {
    const struct {
        std::string executable, settings;
    } cases[] = {
        {"/opt/tools/FINDER.EXE", "/opt/tools/FINDER.set"},
        {"/usr/bin/parvex", "/usr/bin/parvex.set"},
        {"/home/a.b/parvex", "/home/a.b/parvex.set"},
        {"/x/archive.tar.gz", "/x/archive.tar.set"},
        {"/x/.parvex", "/x/.set"},
        {"parvex", "parvex.set"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsFileBeside(c.executable), c.settings) << c.executable;
    }
}

TEST(ExecutablePathTest, IsThisTestProgram) {
    const std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(fs::path(path).filename(), "platform_settings_location_test");
}

class SettingsFileForTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(tree.Root()).parent_path(); // without the final "/"
        tree.Folder("bin");
    }
    testing::TTempTree tree;
    fs::path folder;
};

TEST_F(SettingsFileForTest, BesideAWritableExecutable) {
    const std::string exe = (folder / "bin" / "parvex").string();
    EXPECT_EQ(SettingsFileFor(exe, (folder / "config").string()), exe + ".set");
    EXPECT_FALSE(fs::exists(folder / "config"));
}

TEST_F(SettingsFileForTest, InTheUserConfigFolderWhenTheExecutablesFolderCannotBeWritten) {
    const std::string config = (folder / "config").string();
    EXPECT_EQ(SettingsFileFor((folder / "gone" / "parvex").string(), config),
              config + "/parvex/parvex.set");
    EXPECT_TRUE(fs::is_directory(config + "/parvex"));
    EXPECT_EQ(SettingsFileFor("", config), config + "/parvex/parvex.set");
}

TEST_F(SettingsFileForTest, ThePerUserFileIsNamedWithoutCreatingAnything) {
    const std::string config = (folder / "config").string();
    const std::string exe = tree.File("bin/parvex.bin");
    EXPECT_EQ(UserSettingsFileFor(exe, config), config + "/parvex/parvex.set");
    EXPECT_EQ(UserSettingsFileFor("", config), config + "/parvex/parvex.set");
    EXPECT_FALSE(fs::exists(config));
    EXPECT_TRUE(MakeFolders(config + "/parvex"));
    EXPECT_TRUE(fs::is_directory(config + "/parvex"));
    EXPECT_FALSE(MakeFolders(exe + "/below/a/file")) << "a file is in the way";
}

TEST(InstalledHelpFolderTest, LiesUnderTheSharedDataOfThePrefix) {
    const struct {
        std::string programFolder, help;
    } cases[] = {
        {"/usr/bin", "/usr/share/parvex/help"},
        {"/opt/parvex/bin/", "/opt/parvex/share/parvex/help"},
        {"/bin", "/share/parvex/help"},
        {"/tmp/root/usr/bin", "/tmp/root/usr/share/parvex/help"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InstalledHelpFolder(c.programFolder), c.help) << c.programFolder;
    }
}

class InstalledLayoutTest : public SettingsFileForTest {
protected:
    // A prefix as an installation lays it out: <prefix>/bin/parvex and the help index.
    std::string Install(const std::string& prefix, const std::string& binFolder = "bin") {
        const std::string exe = tree.File(prefix + "/" + binFolder + "/parvex");
        tree.File(prefix + "/share/parvex/help/index.html", "<html></html>");
        return exe;
    }
    void SetUp() override {
        SettingsFileForTest::SetUp();
        config = (folder / "config").string();
    }
    std::string config;
};

TEST_F(InstalledLayoutTest, AnInstalledProgramKeepsItsSettingsPerUserThoughItCouldWriteBeside) {
    const std::string exe = Install("usr");
    ASSERT_EQ(access(FolderOf(exe).c_str(), W_OK), 0) << "the test runs with a writable bin";
    EXPECT_TRUE(IsInstalledProgramFolder(FolderOf(exe)));
    EXPECT_EQ(SettingsFileNameFor(exe, config), config + "/parvex/parvex.set");
    EXPECT_FALSE(fs::exists(config)) << "naming the file creates nothing";
    EXPECT_EQ(SettingsFileFor(exe, config), config + "/parvex/parvex.set");
    EXPECT_TRUE(fs::is_directory(config + "/parvex"));
}

TEST_F(InstalledLayoutTest, ABuildFolderKeepsItsSettingsBesideTheProgram) {
    const std::string exe = Install("build", "src/main");
    EXPECT_FALSE(IsInstalledProgramFolder(FolderOf(exe))) << "the folder is not named bin";
    EXPECT_EQ(SettingsFileFor(exe, config), exe + ".set");
    EXPECT_FALSE(fs::exists(config));
}

TEST_F(InstalledLayoutTest, ABinFolderWithoutInstalledHelpIsAPortableFolder) {
    const std::string exe = tree.File("portable/bin/parvex");
    EXPECT_FALSE(IsInstalledProgramFolder(FolderOf(exe))) << "no help index";
    EXPECT_EQ(SettingsFileFor(exe, config), exe + ".set");

    tree.Folder("portable/share/parvex/help/index.html");
    EXPECT_FALSE(IsInstalledProgramFolder(FolderOf(exe))) << "an index that is a folder";
    EXPECT_EQ(SettingsFileNameFor(exe, config), exe + ".set");
}

TEST_F(InstalledLayoutTest, ATrailingSlashOnTheProgramFolderChangesNothing) {
    const std::string exe = Install("opt/parvex");
    EXPECT_TRUE(IsInstalledProgramFolder(FolderOf(exe) + "/"));
    EXPECT_TRUE(IsInstalledProgramFolder(FolderOf(exe) + "//"));
}

TEST_F(SettingsFileForTest, UserConfigHomeFollowsXdgWhenAbsolute) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = savedXdg ? savedXdg : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(UserConfigHome(), "/somewhere/config");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    setenv("HOME", folder.c_str(), 1);
    EXPECT_EQ(UserConfigHome(), folder.string() + "/.config");
    setenv("HOME", home.c_str(), 1);
    if (savedXdg) {
        setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

} // namespace
} // namespace parvex
