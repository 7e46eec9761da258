#include "platform/folder_reader.h"
#include "platform/virtual_file_systems.h"
#include "support/temp_tree.h"

#include <cerrno>
#include <dirent.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

std::vector<std::string> RawListing(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

TEST(FolderReader, ListsEveryEntryInEnumerationOrderWithItsKind) {
    TTempTree tree;
    tree.File("plain.txt", "12345");
    tree.File(".hidden", "");
    tree.Folder("sub");
    tree.Link("link-to-sub", tree.Path("sub"));
    tree.Link("link-to-file", tree.Path("plain.txt"));
    tree.Fifo("pipe");

    TFolderReader reader(tree.Root(), true);
    ASSERT_TRUE(reader.IsOpen());
    std::vector<std::string> names;
    std::map<std::string, TEntryKind> kinds;
    while (reader.Next()) {
        names.emplace_back(reader.Name());
        kinds[names.back()] = reader.Kind();
    }
    EXPECT_EQ(names, RawListing(tree.Root()));
    const std::map<std::string, TEntryKind> expected{{"plain.txt", TEntryKind::RegularFile},
                                                     {".hidden", TEntryKind::RegularFile},
                                                     {"sub", TEntryKind::Folder},
                                                     {"link-to-sub", TEntryKind::Other},
                                                     {"link-to-file", TEntryKind::Other},
                                                     {"pipe", TEntryKind::Other}};
    EXPECT_EQ(kinds, expected);
}

TEST(FolderReader, ReadsSizeTimeAndOwnerWriteBit) {
    TTempTree tree;
    tree.File("data", std::string(1234, 'x'));
    tree.SetTime("data", 1600000000);
    ::chmod(tree.Path("data").c_str(), 0444);

    TFolderReader reader(tree.Root(), true);
    ASSERT_TRUE(reader.Next());
    TFileFacts facts;
    int error = -1;
    ASSERT_TRUE(reader.ReadFileFacts(facts, error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(facts.Size, 1234);
    EXPECT_EQ(facts.ModifiedSeconds, 1600000000);
    EXPECT_FALSE(facts.OwnerWritable);
    struct stat status {};
    ASSERT_EQ(::stat(tree.Path("data").c_str(), &status), 0);
    EXPECT_EQ(facts.Id, FileIdOf(status));
    EXPECT_EQ(facts.LinkCount, 1U);
}

TEST(FolderReader, AnEntryThatVanishedGivesItsErrorAndOneThatIsNoFileNone) {
    TTempTree tree;
    tree.File("gone");
    tree.Folder("sub");
    TFolderReader reader(tree.Root(), true);
    int checked = 0;
    while (reader.Next()) {
        if (reader.Name() == "gone")
            ::unlink(tree.Path("gone").c_str());
        TFileFacts facts;
        int error = -1;
        EXPECT_FALSE(reader.ReadFileFacts(facts, error));
        EXPECT_EQ(error, reader.Name() == "gone" ? ENOENT : 0);
        ++checked;
    }
    EXPECT_EQ(checked, 2);
    EXPECT_EQ(reader.Error(), 0);
}

TEST(FolderReader, AFolderThatCannotBeOpenedGivesItsError) {
    TTempTree tree;
    TFolderReader reader(tree.Path("missing/"), false);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.Error(), ENOENT);
    tree.Link("link", tree.Root());
    TFolderReader link(tree.Path("link/"), false);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(link.Error() == ELOOP || link.Error() == ENOTDIR) << link.Error();
}

TEST(FolderReader, DoesNotFollowALinkUnlessAsked) {
    TTempTree tree;
    tree.Folder("real");
    tree.Link("alias", tree.Path("real"));
    EXPECT_FALSE(TFolderReader(tree.Path("alias/"), false).IsOpen());
    EXPECT_TRUE(TFolderReader(tree.Path("alias/"), true).IsOpen());
    EXPECT_FALSE(TFolderReader(tree.Path("missing/"), true).IsOpen());
}

TEST(VirtualFileSystems, KnowsProcAndSysButNotOrdinaryFolders) {
    TVirtualFileSystems filter;
    TTempTree tree;
    for (const auto& [path, isVirtual] : std::vector<std::pair<std::string, bool>>{
             {"/proc/", true}, {"/sys/", true}, {tree.Root(), false}}) {
        TFolderReader reader(path, true);
        if (!reader.IsOpen())
            continue; // not mounted in this container
        EXPECT_EQ(filter.IsVirtual(reader.Fd(), reader.Device()), isVirtual) << path;
    }
}

} // namespace
} // namespace parvex
