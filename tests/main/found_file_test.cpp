#include "_compearer/compearer_core.h"
#include "main/found_file.h"
#include "support/temp_tree.h"

#include <QTreeWidgetItem>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TTempTree;

// A group of three copies on disk, its nodes holding what was on disk when they were made.
class LastCopyTest : public ::testing::Test {
protected:
    LastCopyTest() {
        for (const char* name : {"a/copy.bin", "b/copy.bin", "c/copy.bin"}) {
            const std::string path = files.File(name, "same content", 1'600'000'000);
            auto* node = new QTreeWidgetItem(group.get(), {QString::fromStdString(path)});
            node->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
            KeepFoundFile(*node, FoundFileOnDisk(path));
            paths.push_back(path);
        }
    }
    QTreeWidgetItem& Node(int index) const { return *group->child(index); }

    TTempTree files;
    std::unique_ptr<QTreeWidgetItem> group =
        std::make_unique<QTreeWidgetItem>(QStringList{QStringLiteral("copy.bin")});
    std::vector<std::string> paths;
};

TEST_F(LastCopyTest, NoFileIsTheLastWhileTheOtherCopiesAreUnchanged) {
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(IsLastCopy(Node(i))) << i;
}

TEST_F(LastCopyTest, CopiesRemovedFromDiskDoNotCountThoughTheirNodesStay) {
    ::unlink(paths[1].c_str());
    EXPECT_FALSE(IsLastCopy(Node(0))) << "the third copy is still there";
    ::unlink(paths[2].c_str());
    EXPECT_TRUE(IsLastCopy(Node(0)));
}

TEST_F(LastCopyTest, CopiesChangedOnDiskDoNotCount) {
    files.File("b/copy.bin", "other content", 1'600'000'000); // other size
    files.SetTime("c/copy.bin", 1'600'000'100);               // other time
    EXPECT_TRUE(IsLastCopy(Node(0)));
    EXPECT_FALSE(IsLastCopy(Node(1))) << "for b, a and c are copies: a is unchanged";
}

TEST_F(LastCopyTest, CopyReplacedByAFileOfTheSameFactsButAnotherInodeDoesNotCount) {
    ::unlink(paths[1].c_str());
    ::unlink(paths[2].c_str());
    files.File("c/copy.bin", "same content", 1'600'000'000);
    EXPECT_TRUE(IsLastCopy(Node(0)));
}

TEST_F(LastCopyTest, AHardLinkToTheSameFileIsNoCopy) {
    ::unlink(paths[2].c_str());
    // b becomes a second name of a: same device and inode, so one file, not two copies.
    ::unlink(paths[1].c_str());
    ASSERT_EQ(::link(paths[0].c_str(), paths[1].c_str()), 0);
    KeepFoundFile(Node(1), FoundFileOnDisk(paths[1]));
    EXPECT_TRUE(IsLastCopy(Node(0)));
    EXPECT_TRUE(IsLastCopy(Node(1)));
}

TEST_F(LastCopyTest, NodesWithoutFactsAndRemovedNodesDoNotCount) {
    KeepFoundFile(Node(1), std::nullopt);
    EXPECT_FALSE(IsLastCopy(Node(0)));
    delete group->takeChild(2);
    EXPECT_TRUE(IsLastCopy(Node(0)));
}

TEST_F(LastCopyTest, FactsKeptOnANodeComeBackWhole) {
    const TFoundFile facts{{7, 0xFFFF'FFFF'FFFF'FFF0ULL}, -1, 0x7FFF'FFFF'FFFFLL};
    KeepFoundFile(Node(0), facts);
    EXPECT_EQ(FoundFileOf(Node(0)), facts);
    EXPECT_EQ(Node(0).data(0, Qt::UserRole).toByteArray().toStdString(), paths[0])
        << "the path's bytes stay where they were";
}

TEST(ReportedFile, IsTheEngineRowWhileItReportsAndTheDiskOtherwise) {
    TTempTree files;
    const std::string a = files.File("a.txt", "twin", 1'600'000'000);
    const std::string b = files.File("b.txt", "twin", 1'600'000'000);
    TCompearerCore core;
    core.SearchSpec = files.Root() + "*.txt";
    std::vector<std::optional<TFoundFile>> reported;
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        if (!newGroup) {
            reported.push_back(ReportedFile(core, text));
            // Changed after the scan: the engine's facts still say what the search found.
            files.File("b.txt", "twin and more", 1'600'000'000);
        }
    };
    core.Start();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0]->Size, 4);
    EXPECT_EQ(reported[1]->Size, 4);
    EXPECT_EQ(core.ReportedRow(), TCompearerCore::NoRow);
    EXPECT_EQ(ReportedFile(core, b), FoundFileOnDisk(b));
    EXPECT_EQ(ReportedFile(core, b)->Size, 13);
    EXPECT_EQ(ReportedFile(core, a)->Size, 4);
}

} // namespace
} // namespace parvex
