#include "_compearer/compearer_core.h"
#include "engine/column_rows.h"
#include "engine/event_log.h"
#include "platform/file_times.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::ColumnRows;
using testing::TEventLog;
using testing::TTempTree;

class Scan : public ::testing::Test {
protected:
    std::vector<std::string> Rows(const std::string& spec) {
        log.Attach(core);
        core.ScanSearchSpec(spec);
        EXPECT_EQ(core.FileNames.size(), core.FilePaths.size());
        EXPECT_EQ(core.FileSizes.size(), core.FilePaths.size());
        EXPECT_EQ(core.FileTimes.size(), core.FilePaths.size());
        EXPECT_EQ(core.FileModifiedNs.size(), core.FilePaths.size());
        return {core.FilePaths.begin(), core.FilePaths.end()};
    }
    std::vector<std::string> Checks() const {
        std::vector<std::string> checks;
        for (const std::string& line : log.Lines)
            if (line.rfind("check ", 0) == 0)
                checks.push_back(line.substr(6));
        return checks;
    }

    TTempTree tree;
    TCompearerCore core;
    TEventLog log;
};

// The walk as defined: files of a folder in enumeration order, then each subfolder's subtree.
void ExpectedWalk(const std::string& folder, std::vector<std::string>& files,
                  std::vector<std::string>& folders) {
    folders.push_back(folder);
    std::vector<std::string> subfolders;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (entry->d_type == DT_DIR)
            subfolders.push_back(name);
        else if (entry->d_type == DT_REG)
            files.push_back(folder + name);
    }
    ::closedir(dir);
    for (const std::string& name : subfolders)
        ExpectedWalk(folder + name + "/", files, folders);
}

TEST_F(Scan, WalksDepthFirstInEnumerationOrderAskingBeforeEveryFolder) {
    for (const char* path : {"a.txt", "b.txt", "x/c.txt", "x/y/d.txt", "x/y/z/e.txt", "x/f.txt",
                             "w/g.txt", "w/v/h.txt", "i.txt", "u/j.txt"})
        tree.File(path, path);
    std::vector<std::string> files, folders;
    ExpectedWalk(tree.Root(), files, folders);

    EXPECT_EQ(Rows(tree.Root() + "*.*"), files);
    EXPECT_EQ(Checks(), folders);
}

TEST_F(Scan, AnExcludedFolderIsSkippedWithItsSubtreeUnasked) {
    tree.File("top.txt");
    tree.File("ex/inside.txt");
    tree.File("ex/deep/deeper.txt");
    log.Excluded = {tree.Path("ex/")};

    EXPECT_EQ(Rows(tree.Root() + "*.txt"), std::vector<std::string>{tree.Path("top.txt")});
    EXPECT_EQ(Checks(), (std::vector<std::string>{tree.Root(), tree.Path("ex/")}));
}

TEST_F(Scan, AnExcludedFolderIsMatchedByIdentityWhateverItsSpelling) {
    tree.File("top.txt");
    tree.File("x/inside.txt");
    tree.File("x/deep/deeper.txt");
    tree.File("X/other.txt");
    tree.Link("link", tree.Path("x"));
    const std::string absolute = tree.Path("x");
    std::string doubled = "/";
    for (const char c : absolute)
        doubled += c == '/' ? std::string("//") : std::string(1, c);
    // Relative spellings are resolved from the working directory.
    const int back = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::chdir(tree.Root().c_str()), 0);
    for (const std::string& spelling : {std::string("./x"), std::string("x/"), absolute + "/",
                                        doubled, std::string("link"), tree.Path("link/.")}) {
        core.ClearFileTable();
        log.Lines.clear();
        core.ExcludedFolders = {spelling};
        std::vector<std::string> rows = Rows(tree.Root() + "*.txt");
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, (std::vector<std::string>{tree.Path("X/other.txt"), tree.Path("top.txt")}))
            << spelling;
        // Skipped before the window is asked about it.
        std::vector<std::string> checks = Checks();
        std::sort(checks.begin(), checks.end());
        EXPECT_EQ(checks, (std::vector<std::string>{tree.Root(), tree.Path("X/")})) << spelling;
    }
    EXPECT_EQ(::fchdir(back), 0);
    ::close(back);
}

TEST_F(Scan, AnExcludedStartFolderByIdentityCollectsNothingAndIsNotAsked) {
    tree.File("a.txt");
    core.ExcludedFolders = {tree.Root(), tree.Path("missing")};
    EXPECT_TRUE(Rows(tree.Root() + "*.txt").empty());
    EXPECT_TRUE(Checks().empty());
}

TEST_F(Scan, AnExcludedStartFolderIsAskedOncePerPattern) {
    tree.File("a.txt");
    log.Excluded = {tree.Root()};
    EXPECT_TRUE(Rows(tree.Root() + "*.txt;*.doc;a*").empty());
    EXPECT_EQ(Checks(), std::vector<std::string>(3, tree.Root()));
}

TEST_F(Scan, AnEmptyMaskWalksTheTreeButCollectsNothing) {
    tree.File("a.txt");
    tree.Folder("sub");
    EXPECT_EQ(Rows(tree.Root() + "*.txt;;"), std::vector<std::string>{tree.Path("a.txt")});
    const std::vector<std::string> checks = Checks();
    EXPECT_EQ(std::count(checks.begin(), checks.end(), tree.Path("sub/")), 2);
}

TEST_F(Scan, OverlappingMasksCollectAFileOnceWhereTheFirstMatchingPatternFindsIt) {
    tree.File("sub/a.txt");
    tree.File("b.doc");
    tree.File("c.tx");
    EXPECT_EQ(Rows(tree.Root() + "*.txt;*.t*;a*"),
              (std::vector<std::string>{tree.Path("sub/a.txt"), tree.Path("c.tx")}));
    for (std::size_t row = 0; row < 2; ++row) {
        EXPECT_EQ(core.FileLinks.NamesFound(row), 1U) << row;
        EXPECT_TRUE(core.FileLinks.OtherNames(row).empty()) << row;
    }
}

TEST_F(Scan, HardLinksAreOneRowWithTheirOtherNamesBesideIt) {
    tree.File("a.txt", "body");
    tree.HardLink("sub/b.txt", "a.txt");
    tree.HardLink("sub/c.txt", "a.txt");
    tree.File("d.txt", "body");
    // The second pattern meets every name again and adds none.
    std::vector<std::string> rows = Rows(tree.Root() + "*.txt;*.t*");
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{tree.Path("a.txt"), tree.Path("d.txt")}));
    const std::size_t a = core.FilePaths[0] == tree.Path("a.txt") ? 0 : 1;
    EXPECT_EQ(core.FileLinks.NamesFound(a), 3U);
    EXPECT_EQ(core.FileLinks.LinkCount(a), 3U);
    std::vector<std::string> others = core.FileLinks.OtherNames(a);
    std::sort(others.begin(), others.end());
    EXPECT_EQ(others, (std::vector<std::string>{tree.Path("sub/b.txt"), tree.Path("sub/c.txt")}));
    EXPECT_EQ(core.FileLinks.NamesFound(1 - a), 1U);
    EXPECT_EQ(core.FileLinks.LinkCount(1 - a), 1U);
    EXPECT_TRUE(core.FileLinks.OtherNames(1 - a).empty());
}

TEST_F(Scan, RecordsNameSizeAndTimeInTheCaseTheFileSystemGives) {
    tree.File("Sub/MixedCase.TXT", "12345");
    tree.SetTime("Sub/MixedCase.TXT", 1600000001);
    tree.File("Sub/old.txt", "");
    tree.SetTime("Sub/old.txt", 100); // 1970: no packed value
    Rows(tree.Root() + "*.txt");
    ASSERT_EQ(core.FilePaths.size(), 2U);
    const std::size_t mixed = core.FileNames[0] == "MixedCase.TXT" ? 0 : 1;
    EXPECT_EQ(core.FilePaths[mixed], tree.Path("Sub/MixedCase.TXT"));
    EXPECT_EQ(core.FileNames[mixed], "MixedCase.TXT");
    EXPECT_EQ(core.FileSizes[mixed], 5);
    EXPECT_EQ(core.FileTimes[mixed], *PackedLocalTime(1600000001));
    EXPECT_EQ(core.FileTimes[1 - mixed], FileTimeCode(100));
}

TEST_F(Scan, SizesAreSixtyFourBits) {
    tree.SparseFile("big.bin", 5LL << 30, 'x');
    Rows(tree.Root() + "*.bin");
    EXPECT_EQ(ColumnRows(core.FileSizes), std::vector<std::int64_t>{5LL << 30});
}

TEST_F(Scan, AttributeOptionsFilterHiddenAndReadOnlyFiles) {
    tree.File(".hidden.txt");
    tree.File(".dotfolder/inner.txt");
    tree.File("locked.txt");
    ::chmod(tree.Path("locked.txt").c_str(), 0444);
    const auto names = [this] {
        std::vector<std::string> sorted(core.FileNames.begin(), core.FileNames.end());
        std::sort(sorted.begin(), sorted.end());
        core.ClearFileTable();
        return sorted;
    };
    Rows(tree.Root() + "*.txt");
    EXPECT_EQ(names(), (std::vector<std::string>{".hidden.txt", "inner.txt", "locked.txt"}));
    core.AllowHidden = false; // a hidden folder is still entered
    core.ScanSearchSpec(tree.Root() + "*.txt");
    EXPECT_EQ(names(), (std::vector<std::string>{"inner.txt", "locked.txt"}));
    core.AllowHidden = true;
    core.AllowReadOnly = false;
    core.ScanSearchSpec(tree.Root() + "*.txt");
    EXPECT_EQ(names(), (std::vector<std::string>{".hidden.txt", "inner.txt"}));
    core.AllowReadOnly = true;
    core.AllowSystem = false; // there is no system attribute here
    core.ScanSearchSpec(tree.Root() + "*.txt");
    EXPECT_EQ(names().size(), 3U);
}

TEST_F(Scan, HiddenFoldersAreLeftUnenteredAndUnaskedWhenNotAllowed) {
    const std::string start = tree.Folder(".start");
    tree.File(".start/top.txt");
    tree.File(".start/.dotfolder/inner.txt");
    tree.File(".start/plain/.deeper/deep.txt");
    tree.File(".start/plain/shown.txt");
    core.AllowHiddenFolders = false; // a start folder is searched whatever its name
    std::vector<std::string> rows = Rows(start + "*.txt");
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{start + "plain/shown.txt", start + "top.txt"}));
    EXPECT_EQ(Checks(), (std::vector<std::string>{start, start + "plain/"}));
}

TEST_F(Scan, OnlyFilesWithinTheSizeRangeBecomeRowsBothLimitsIncluded) {
    tree.File("s0.txt", "");
    tree.File("s2.txt", "ab");
    tree.File("s3.txt", "abc");
    tree.File("s4.txt", "abcd");
    tree.File("s5.txt", "abcde");
    const auto names = [this] {
        std::vector<std::string> sorted(core.FileNames.begin(), core.FileNames.end());
        std::sort(sorted.begin(), sorted.end());
        core.ClearFileTable();
        return sorted;
    };
    core.MinFileSize = 2;
    core.MaxFileSize = 4;
    Rows(tree.Root() + "*.txt");
    EXPECT_EQ(names(), (std::vector<std::string>{"s2.txt", "s3.txt", "s4.txt"}));
    core.MinFileSize = 3;
    core.MaxFileSize = 3;
    Rows(tree.Root() + "*.txt");
    EXPECT_EQ(names(), std::vector<std::string>{"s3.txt"});
    core.MinFileSize = 5;
    core.MaxFileSize = 4; // an empty range collects nothing
    EXPECT_TRUE(Rows(tree.Root() + "*.txt").empty());
}

TEST_F(Scan, ARowKeepsItsModificationTimeToTheNanosecond) {
    tree.File("a.txt", "a");
    const timespec times[2] = {{1700000000, 123456789}, {1700000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, tree.Path("a.txt").c_str(), times, 0), 0);
    Rows(tree.Root() + "*.txt");
    EXPECT_EQ(ColumnRows(core.FileModifiedNs), std::vector<std::int64_t>{1700000000123456789});
}

TEST_F(Scan, WithoutSubfoldersOnlyTheStartFolderIsRead) {
    tree.File("a.txt");
    tree.File("sub/b.txt");
    core.ScanSubfolders = false;
    EXPECT_EQ(Rows(tree.Root() + "*.txt"), std::vector<std::string>{tree.Path("a.txt")});
    EXPECT_EQ(Checks(), std::vector<std::string>{tree.Root()});
}

TEST_F(Scan, LinksAreNeitherCollectedNorFollowedSoALoopEnds) {
    tree.File("real/file.txt");
    tree.Link("real/loop", tree.Root());
    tree.Link("real/alias.txt", tree.Path("real/file.txt"));
    EXPECT_EQ(Rows(tree.Root() + "*.*"), std::vector<std::string>{tree.Path("real/file.txt")});
    EXPECT_EQ(Checks(), (std::vector<std::string>{tree.Root(), tree.Path("real/")}));
}

TEST_F(Scan, AFifoIsNeverCollectedNorOpened) {
    tree.Fifo("pipe.txt");
    tree.File("file.txt");
    EXPECT_EQ(Rows(tree.Root() + "*.txt"), std::vector<std::string>{tree.Path("file.txt")});
}

TEST_F(Scan, ANameThatIsNoUtf8IsKeptByteForByte) {
    const std::string name = "caf\xe9-\xff.txt";
    tree.File(name, "latin1");
    EXPECT_EQ(Rows(tree.Root() + "*.txt"), std::vector<std::string>{tree.Path(name)});
    EXPECT_EQ(ColumnRows(core.FileNames), std::vector<std::string>{name});
}

TEST_F(Scan, AFolderNamedLikeTheMaskIsEnteredButNotCollected) {
    tree.File("notes.txt/inner.txt");
    EXPECT_EQ(Rows(tree.Root() + "*.txt"),
              std::vector<std::string>{tree.Path("notes.txt/inner.txt")});
}

TEST_F(Scan, MasksIgnoreTheCaseOfAToZ) {
    tree.File("lower.txt");
    tree.File("UPPER.TXT");
    Rows(tree.Root() + "*.Txt");
    EXPECT_EQ(core.FilePaths.size(), 2U);
}

TEST_F(Scan, AMissingStartFolderCollectsNothing) {
    EXPECT_TRUE(Rows(tree.Path("missing/") + "*.*").empty());
    EXPECT_EQ(Checks(), std::vector<std::string>{tree.Path("missing/")});
}

TEST_F(Scan, KernelFileSystemsAreNeverEntered) {
    for (const char* start : {"/proc/", "/proc/self/", "/sys/"}) {
        core.ClearFileTable();
        EXPECT_TRUE(Rows(std::string(start) + "*.*").empty()) << start;
    }
}

TEST_F(Scan, AStopEndsTheWalkAtTheNextEntryAndLaterPatternsCollectNothing) {
    for (int i = 0; i < 20; ++i)
        tree.File("sub/f" + std::to_string(i) + ".txt");
    // Called directly, the scan polls at its first entry already.
    core.ProcessMessages = [this] { core.Stop(); };
    EXPECT_EQ(Rows(tree.Root() + "sub/*.txt;*.*").size(), 1U);
    EXPECT_TRUE(core.StopRequested);
    EXPECT_EQ(Checks(), std::vector<std::string>(2, tree.Path("sub/")));
}

} // namespace
} // namespace parvex
