#include "_compearer/listing_prefetch.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

TFileId IdOf(const std::string& path) {
    struct stat facts {};
    EXPECT_EQ(::stat(path.c_str(), &facts), 0) << path;
    return FileIdOf(facts);
}

std::vector<std::string> NamesOf(const TListing& listing) {
    std::vector<std::string> names;
    for (const TListing::TEntry& entry : listing.Entries)
        names.push_back(entry.Name);
    std::sort(names.begin(), names.end());
    return names;
}

class ListingPrefetch : public ::testing::Test {
protected:
    ListingPrefetch() {
        tree.File("a.txt", "aaa");
        tree.File("b.bin", "b");
        tree.File("sub/c.txt", "cc");
        tree.File("sub/deeper/d.txt", "d");
        tree.File(".hidden/e.txt", "e");
        tree.File("skipped/f.txt", "f");
    }
    TListingPrefetch::TRules Rules() const {
        return {[](std::string_view name) { return name.ends_with(".txt"); },
                [](std::string_view name) { return name.front() != '.'; },
                {}};
    }

    TTempTree tree;
    TDescriptorBudget descriptors{16};
};

// The walk's own order of taking, with the facts of the wanted files read ahead.
TEST_F(ListingPrefetch, ReadsTheTreeAheadWithTheFactsOfTheWantedFilesOnly) {
    TListingPrefetch prefetch(3, descriptors, Rules(), tree.Root());
    const auto top = prefetch.Take(tree.Root(), IdOf(tree.Root()));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(NamesOf(*top),
              (std::vector<std::string>{".hidden", "a.txt", "b.bin", "skipped", "sub"}));
    for (const TListing::TEntry& entry : top->Entries) {
        EXPECT_EQ(entry.HasFacts, entry.Name == "a.txt") << entry.Name;
        if (entry.Name == "a.txt")
            EXPECT_EQ(entry.Facts.Size, 3);
        if (entry.Name == "sub")
            EXPECT_EQ(entry.Kind, TEntryKind::Folder);
    }
    TListingReader reader(*top);
    std::size_t entries = 0;
    while (reader.Next())
        ++entries;
    EXPECT_EQ(entries, top->Entries.size());

    const auto sub = prefetch.Take(tree.Path("sub/"), IdOf(tree.Path("sub")));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(NamesOf(*sub), (std::vector<std::string>{"c.txt", "deeper"}));
    const auto deeper = prefetch.Take(tree.Path("sub/deeper/"), IdOf(tree.Path("sub/deeper")));
    ASSERT_NE(deeper, nullptr);
    EXPECT_EQ(NamesOf(*deeper), std::vector<std::string>{"d.txt"});
    // A folder the walk does not enter is never read ahead; asking for it does not wait.
    EXPECT_EQ(prefetch.Take(tree.Path(".hidden/"), IdOf(tree.Path(".hidden"))), nullptr);
}

// What is read ahead under one name but is another folder when the walk gets there (a folder
// moved away and another put in its place) is not used: the walk reads what is there.
TEST_F(ListingPrefetch, AListingOfAnotherFolderThanTheOneEnteredIsNotGiven) {
    TListingPrefetch prefetch(2, descriptors, Rules(), tree.Root());
    ASSERT_NE(prefetch.Take(tree.Root(), IdOf(tree.Root())), nullptr);
    EXPECT_EQ(prefetch.Take(tree.Path("sub/"), IdOf(tree.Path("skipped"))), nullptr);
}

// A folder the walk skips is forgotten with its subtree, and what the walk read itself has its
// subfolders read ahead.
TEST_F(ListingPrefetch, SkippedFoldersAreForgottenAndFoldersReadByTheWalkLeadOn) {
    TListingPrefetch prefetch(2, descriptors, Rules(), tree.Root());
    prefetch.Skip(tree.Root());
    EXPECT_EQ(prefetch.Take(tree.Root(), IdOf(tree.Root())), nullptr);
    EXPECT_EQ(prefetch.Take(tree.Path("sub/"), IdOf(tree.Path("sub"))), nullptr);

    TListingPrefetch again(2, descriptors, Rules(), tree.Root());
    EXPECT_EQ(again.Take(tree.Path("other/"), TFileId{}), nullptr) << "never pushed";
    again.Skip(tree.Path("skipped/"));
    again.AddSubfolders(tree.Path("sub/"), {"deeper"});
    const auto deeper = again.Take(tree.Path("sub/deeper/"), IdOf(tree.Path("sub/deeper")));
    ASSERT_NE(deeper, nullptr);
    EXPECT_EQ(NamesOf(*deeper), std::vector<std::string>{"d.txt"});
}

// With every descriptor of the budget held elsewhere, nothing is read ahead: each folder is left
// to the walk, whose own reading then leads the read-ahead on.
TEST_F(ListingPrefetch, AFolderReadAheadWithoutADescriptorIsLeftToTheWalk) {
    TDescriptorGrant elsewhere = descriptors.TryTake(1, 16);
    ASSERT_EQ(descriptors.Free(), 0U);
    TListingPrefetch prefetch(2, descriptors, Rules(), tree.Root());
    EXPECT_EQ(prefetch.Take(tree.Root(), IdOf(tree.Root())), nullptr);
    elsewhere.Release();
    prefetch.AddSubfolders(tree.Root(), {"sub"});
    const auto sub = prefetch.Take(tree.Path("sub/"), IdOf(tree.Path("sub")));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(NamesOf(*sub), (std::vector<std::string>{"c.txt", "deeper"}));
}

} // namespace
} // namespace parvex
