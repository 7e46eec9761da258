#include "_compearer/compearer_core.h"
#include "main/found_file.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

using testing::TTempTree;

// A group of three copies on disk, each kept with what was on disk when the search found it.
class LastCopyTest : public ::testing::Test {
protected:
    LastCopyTest() {
        for (const char* name : {"a/copy.bin", "b/copy.bin", "c/copy.bin"}) {
            const std::string path = files.File(name, "same content", 1'600'000'000);
            kept.push_back({path, FoundFileOnDisk(path)});
            paths.push_back(path);
        }
    }
    // The other files of the group, as the last-copy question sees them.
    bool LastCopy(std::size_t index) const {
        std::vector<TKeptFile> others = kept;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(index));
        return IsLastCopy(paths[index], others);
    }

    TTempTree files;
    std::vector<TKeptFile> kept;
    std::vector<std::string> paths;
};

TEST_F(LastCopyTest, NoFileIsTheLastWhileTheOtherCopiesAreUnchanged) {
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(LastCopy(i)) << i;
}

TEST_F(LastCopyTest, CopiesRemovedFromDiskDoNotCountThoughTheyWereFound) {
    ::unlink(paths[1].c_str());
    EXPECT_FALSE(LastCopy(0)) << "the third copy is still there";
    ::unlink(paths[2].c_str());
    EXPECT_TRUE(LastCopy(0));
}

TEST_F(LastCopyTest, CopiesChangedOnDiskDoNotCount) {
    files.File("b/copy.bin", "other content", 1'600'000'000); // other size
    files.SetTime("c/copy.bin", 1'600'000'100);               // other time
    EXPECT_TRUE(LastCopy(0));
    EXPECT_FALSE(LastCopy(1)) << "for b, a and c are copies: a is unchanged";
}

TEST_F(LastCopyTest, CopyReplacedByAFileOfTheSameFactsButAnotherInodeDoesNotCount) {
    ::unlink(paths[1].c_str());
    // Made while the old c still holds its inode, so that the file system cannot hand the
    // freed inode number to the new file.
    const std::string replacement = files.File("c/copy.new", "same content", 1'600'000'000);
    ASSERT_EQ(::rename(replacement.c_str(), paths[2].c_str()), 0);
    EXPECT_TRUE(LastCopy(0));
}

TEST_F(LastCopyTest, AHardLinkToTheSameFileIsNoCopy) {
    ::unlink(paths[2].c_str());
    // b becomes a second name of a: same device and inode, so one file, not two copies.
    ::unlink(paths[1].c_str());
    ASSERT_EQ(::link(paths[0].c_str(), paths[1].c_str()), 0);
    kept[1].Found = FoundFileOnDisk(paths[1]);
    EXPECT_TRUE(LastCopy(0));
    EXPECT_TRUE(LastCopy(1));
}

TEST_F(LastCopyTest, FilesWithoutFactsDoNotCount) {
    kept[1].Found = std::nullopt;
    EXPECT_FALSE(LastCopy(0));
    kept[2].Found = std::nullopt;
    EXPECT_TRUE(LastCopy(0));
}

TEST(ReportedFacts, WithoutAnEngineRowTheDiskSaysWhetherEveryNameIsFound) {
    TTempTree files;
    const std::string single = files.File("single.txt", "one", 1'600'000'000);
    const std::string linked = files.File("linked.txt", "two", 1'600'000'000);
    ASSERT_EQ(::link(linked.c_str(), files.Path("elsewhere.txt").c_str()), 0);
    const TCompearerCore core;
    EXPECT_TRUE(ReportedFacts(core, single).AllNamesFound);
    EXPECT_EQ(ReportedFacts(core, single).Found, FoundFileOnDisk(single));
    EXPECT_FALSE(ReportedFacts(core, linked).AllNamesFound);
    EXPECT_FALSE(ReportedFacts(core, files.Path("gone")).Found);
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
