// A file of a saved result checked against the disk: as found, changed or missing.
#include "main/saved_file_state.h"
#include "platform/file_times.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::test {
namespace {

using testing::TTempTree;

class SavedFileStateTest : public ::testing::Test {
protected:
    // The facts of a file as a result saved right now would hold them.
    TResultFileFacts Saved(const std::string& path) const {
        struct stat now {};
        EXPECT_EQ(::lstat(path.c_str(), &now), 0) << path;
        TResultFileFacts facts;
        facts.Path = path;
        facts.Size = now.st_size;
        facts.ModifiedNs = NanosecondsOf(now.st_mtim);
        facts.Id = FileIdOf(now);
        return facts;
    }

    TTempTree tree;
};

TEST_F(SavedFileStateTest, AFileAsSavedIsAsFoundWithItsFactsOnDisk) {
    const TResultFileFacts saved = Saved(tree.File("a.txt", "text"));
    const TSavedFileCheck check = CheckSavedFile(saved, true);
    EXPECT_EQ(check.State, TFileState::AsFound);
    ASSERT_TRUE(check.Now.has_value());
    EXPECT_EQ(check.Now->Id, saved.Id);
    EXPECT_EQ(check.Now->Size, 4);
    EXPECT_TRUE(check.AllNamesFound);
}

TEST_F(SavedFileStateTest, ANameOfTheFileOutsideTheResultKeepsItsSpace) {
    TResultFileFacts saved = Saved(tree.File("a.txt", "text"));
    tree.HardLink("elsewhere.txt", "a.txt");
    saved = Saved(saved.Path);
    EXPECT_FALSE(CheckSavedFile(saved, true).AllNamesFound);
    saved.OtherNames = {tree.Path("elsewhere.txt")};
    EXPECT_TRUE(CheckSavedFile(saved, true).AllNamesFound);
}

TEST_F(SavedFileStateTest, ASizeOrATimeThatDiffersByOneNanosecondIsAChange) {
    const TResultFileFacts saved = Saved(tree.File("a.txt", "text"));
    TResultFileFacts other = saved;
    other.Size += 1;
    EXPECT_EQ(CheckSavedFile(other, false).State, TFileState::Changed);
    other = saved;
    other.ModifiedNs += 1;
    EXPECT_EQ(CheckSavedFile(other, false).State, TFileState::Changed);
    EXPECT_FALSE(CheckSavedFile(other, false).Now.has_value());
}

TEST_F(SavedFileStateTest, AnotherInodeIsAChangeOnlyOnTheHostThatSavedTheResult) {
    TResultFileFacts saved = Saved(tree.File("a.txt", "text"));
    saved.Id.Inode += 1;
    EXPECT_EQ(CheckSavedFile(saved, true).State, TFileState::Changed);
    EXPECT_EQ(CheckSavedFile(saved, false).State, TFileState::AsFound);
    saved.Id.Inode -= 1;
    saved.Id.Device += 1;
    EXPECT_EQ(CheckSavedFile(saved, true).State, TFileState::Changed);
}

TEST_F(SavedFileStateTest, NoRegularFileAtThePathIsMissing) {
    const TResultFileFacts saved = Saved(tree.File("a.txt", "text"));
    ASSERT_EQ(::unlink(saved.Path.c_str()), 0);
    EXPECT_EQ(CheckSavedFile(saved, true).State, TFileState::Missing);
    tree.Folder("a.txt");
    EXPECT_EQ(CheckSavedFile(saved, true).State, TFileState::Missing);
    tree.File("target.txt", "text");
    tree.Link("b.txt", tree.Path("target.txt"));
    TResultFileFacts link = saved;
    link.Path = tree.Path("b.txt");
    EXPECT_EQ(CheckSavedFile(link, false).State, TFileState::Missing);
}

} // namespace
} // namespace parvex::test
