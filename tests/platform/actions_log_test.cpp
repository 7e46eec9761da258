// The actions log: its line format, its place, and that it only ever appends.
#include "platform/actions_log.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

TEST(ActionsLogTest, ALineHoldsTimeActionPathAndTargetWithPathsEscaped) {
    const std::string line = TActionsLog::Line(0, "move", "/a/new\nline", "/b/back\\slash");
    const std::size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    EXPECT_EQ(line.substr(tab), "\tmove\t/a/new\\nline\t/b/back\\\\slash\n");
    EXPECT_TRUE(std::regex_match(line.substr(0, tab),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << line;
}

TEST(ActionsLogTest, AppendsToTheFileAndMakesItsFolders) {
    TTempTree tree;
    TActionsLog log(tree.Path("data/parvex/actions.log"));
    ASSERT_TRUE(log.Append("trash", "/x", "")) << log.Error();
    ASSERT_TRUE(log.Append("hardlink", "/y", "/z")) << log.Error();
    const std::string text = TTempTree::ReadFile(log.Path());
    EXPECT_NE(text.find("\ttrash\t/x\t\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\thardlink\t/y\t/z\n"), std::string::npos) << text;
    EXPECT_LT(text.find("\ttrash"), text.find("\thardlink"));
}

TEST(ActionsLogTest, AFailureToWriteIsReportedWithTheFile) {
    TTempTree tree;
    tree.File("blocked", "a file where a folder should be");
    TActionsLog log(tree.Path("blocked/actions.log"));
    EXPECT_FALSE(log.Append("trash", "/x", ""));
    EXPECT_NE(log.Error().find(tree.Path("blocked/actions.log")), std::string::npos) << log.Error();
}

TEST(ActionsLogTest, LivesInTheUsersDataFolder) {
    const std::string oldData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(TActionsLog::DefaultPath(), "/data/home/parvex/actions.log");
    ::setenv("XDG_DATA_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    if (home != nullptr) {
        EXPECT_EQ(TActionsLog::DefaultPath(),
                  std::string(home) + "/.local/share/parvex/actions.log");
    }
    if (oldData.empty())
        ::unsetenv("XDG_DATA_HOME");
    else
        ::setenv("XDG_DATA_HOME", oldData.c_str(), 1);
}

} // namespace
} // namespace parvex
