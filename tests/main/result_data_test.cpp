#include "main/result_data.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

namespace parvex {
namespace {

// The file with the given id and size, found with every name or not.
TResultFacts Facts(std::uint64_t inode, std::int64_t size, bool allNamesFound = true) {
    return {TFoundFile{{1, inode}, size, 0}, allNamesFound, {}};
}

class TResultDataTest : public ::testing::Test {
protected:
    TResultDataTest() { data.Restart(QCollator(QLocale(QLocale::English, QLocale::UnitedStates))); }
    void Group(const char* name, std::initializer_list<const char*> files) {
        data.AddGroup(name);
        std::uint64_t inode = 0;
        for (const char* file : files)
            data.AddFile(file, Facts(++inode + 100 * data.GroupCount(), 10));
    }
    QStringList Texts() const {
        QStringList texts;
        for (std::size_t g = 0; g < data.GroupCount(); ++g) {
            texts << QFile::decodeName(data.GroupName(g));
            for (std::size_t f = 0; f < data.Group(g).Files.size(); ++f)
                texts << QStringLiteral("  ") + QFile::decodeName(data.FilePath(g, f));
        }
        return texts;
    }
    TResultData data;
};

TEST_F(TResultDataTest, GroupsByNameFilesByPathWithTheLocaleCollation) {
    Group("zeta.txt", {"/b/zeta.txt", "/a/zeta.txt"});
    Group("Alpha.txt", {"/y/Alpha.txt", "/x/Alpha.txt"});
    Group("beta.txt", {"/q/beta.txt"});
    data.Finish();
    // In byte order every capital comes before every small letter; the collation goes by the
    // letters first.
    EXPECT_EQ(Texts(), (QStringList{
                           QStringLiteral("Alpha.txt"),
                           QStringLiteral("  /x/Alpha.txt"),
                           QStringLiteral("  /y/Alpha.txt"),
                           QStringLiteral("beta.txt"),
                           QStringLiteral("  /q/beta.txt"),
                           QStringLiteral("zeta.txt"),
                           QStringLiteral("  /a/zeta.txt"),
                           QStringLiteral("  /b/zeta.txt"),
                       }));
    EXPECT_EQ(data.FileCount(), 5u);
}

TEST_F(TResultDataTest, GroupsOfTheSameNameKeepTheirOrderAndStaySeparate) {
    Group("same", {"/first"});
    Group("a", {"/a"});
    Group("same", {"/second"});
    data.Finish();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("a"), QStringLiteral("  /a"),
                                    QStringLiteral("same"), QStringLiteral("  /first"),
                                    QStringLiteral("same"), QStringLiteral("  /second")}));
}

TEST_F(TResultDataTest, PathsKeepTheirExactBytes) {
    Group("caf\xE9", {"/x/caf\xE9\xFF"});
    data.Finish();
    EXPECT_EQ(data.FilePath(0, 0), QByteArray("/x/caf\xE9\xFF"));
    EXPECT_EQ(data.GroupName(0), QByteArray("caf\xE9"));
}

// A path is found by text in any letter case, whether it is its own folded text or not, and
// one path's text never stands for another's.
TEST_F(TResultDataTest, SearchTextsMatchPathsOfEitherCase) {
    Group("g", {"/low/abc.txt", "/UP/ABC.TXT", "/up/Other.txt", "/x/caf\xE9\xFF"});
    data.Finish();
    const auto holding = [&](const char* text) {
        const QByteArrayMatcher matcher(TResultData::Folded(QString::fromUtf8(text)));
        QStringList paths;
        for (std::size_t f = 0; f < data.Group(0).Files.size(); ++f)
            if (data.NodeHolds(matcher, 0, int(f)))
                paths << QFile::decodeName(data.FilePath(0, f));
        return paths;
    };
    EXPECT_EQ(holding("Abc"),
              (QStringList{QStringLiteral("/low/abc.txt"), QStringLiteral("/UP/ABC.TXT")}));
    EXPECT_EQ(holding("up/o"), QStringList{QStringLiteral("/up/Other.txt")});
    EXPECT_EQ(holding("/x/"), QStringList{QFile::decodeName("/x/caf\xE9\xFF")});
    EXPECT_TRUE(holding("low/up").isEmpty());
}

TEST_F(TResultDataTest, FileBeforeAnyGroupIsIgnoredAndRestartDropsEverything) {
    data.AddFile("/orphan", {});
    Group("old", {"/old"});
    data.Restart(QCollator(QLocale(QLocale::English)));
    Group("new", {"/new"});
    data.Finish();
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("new"), QStringLiteral("  /new")}));
}

TEST_F(TResultDataTest, WastedCountsEachInodeOnceLessTheCopyThatStays) {
    data.AddGroup("three");
    data.AddFile("/a", Facts(1, 100));
    data.AddFile("/b", Facts(2, 100));
    data.AddFile("/c", Facts(3, 100));
    data.AddGroup("linked");
    data.AddFile("/l1", Facts(7, 50));
    data.AddFile("/l2", Facts(7, 50)); // a second name of the same file frees nothing
    data.AddFile("/l3", Facts(8, 50));
    data.AddGroup("outside");
    data.AddFile("/o1", Facts(9, 20, false)); // a name outside the result keeps this one
    data.AddFile("/o2", Facts(10, 20));
    data.AddFile("/o3", Facts(11, 20));
    data.Finish();
    EXPECT_EQ(data.Group(0).Wasted, 50) << "linked";
    EXPECT_EQ(data.Group(1).Wasted, 40) << "outside";
    EXPECT_EQ(data.Group(2).Wasted, 200) << "three";
    EXPECT_EQ(data.TotalWasted(), 290);
    data.RemoveFile(2, 0);
    EXPECT_EQ(data.Group(2).Wasted, 100);
    EXPECT_EQ(data.TotalWasted(), 190);
    EXPECT_EQ(data.FileCount(), 8u);
}

} // namespace
} // namespace parvex
