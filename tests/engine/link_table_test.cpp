#include "_compearer/link_table.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

using TNames = std::vector<std::string>;

TEST(LinkTable, ARowWithoutEntryIsAFileOfOneNameFound) {
    TLinkTable links;
    links.AddRow(0, 1);
    EXPECT_EQ(links.NamesFound(0), 1U);
    EXPECT_EQ(links.LinkCount(0), 1U);
    EXPECT_TRUE(links.OtherNames(0).empty());
    EXPECT_LT(links.Bytes(), 64U) << "a file of one link costs no entry";
}

TEST(LinkTable, OtherNamesAreKeptOnceEachInTheOrderFound) {
    TLinkTable links;
    links.AddRow(0, 1);
    links.AddRow(1, 3);
    EXPECT_EQ(links.LinkCount(1), 3U);
    EXPECT_TRUE(links.AddOtherName(1, "/b"));
    EXPECT_TRUE(links.AddOtherName(1, "/a"));
    EXPECT_FALSE(links.AddOtherName(1, "/b"));
    EXPECT_EQ(links.NamesFound(1), 3U);
    EXPECT_EQ(links.OtherNames(1), (TNames{"/b", "/a"}));
    // A second name of a file with one link: the same file reached twice (a bind mount).
    EXPECT_TRUE(links.AddOtherName(0, "/mnt/a"));
    EXPECT_EQ(links.NamesFound(0), 2U);
    EXPECT_EQ(links.LinkCount(0), 1U);
}

TEST(LinkTable, EntriesMoveWithTheirRows) {
    TLinkTable links;
    for (std::size_t row = 0; row < 4; ++row)
        links.AddRow(row, row == 1 || row == 3 ? 2 : 1);
    ASSERT_TRUE(links.AddOtherName(3, "/three"));
    links.MoveRow(2, 1); // row 1's entry goes: row 2 had none
    links.MoveRow(3, 2);
    links.Truncate(3);
    EXPECT_EQ(links.LinkCount(1), 1U);
    EXPECT_EQ(links.LinkCount(2), 2U);
    EXPECT_EQ(links.OtherNames(2), TNames{"/three"});
    EXPECT_EQ(links.LinkCount(3), 1U);
    links.Clear();
    EXPECT_EQ(links.LinkCount(2), 1U);
}

} // namespace
} // namespace parvex
