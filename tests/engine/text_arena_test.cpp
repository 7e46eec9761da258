#include "_compearer/text_arena.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

TEST(TextArena, GivesBackEveryTextByteForByte) {
    const std::vector<std::string> texts{
        "",
        "a",
        std::string(127, 'x'),
        std::string(128, 'y'),
        std::string(300, 'z'),
        std::string("caf\xe9\0\xff", 6),
        std::string(TTextArena::BlockBytes + 5, 'L'), // longer than a block
        "after the long one",
    };
    TTextArena arena;
    std::vector<std::uint64_t> positions;
    for (const std::string& text : texts)
        positions.push_back(arena.Add(text));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(arena.View(positions[i]), texts[i]) << "text " << i;
}

TEST(TextArena, ATextCostsItsBytesAndOneForAShortLength) {
    TTextArena arena;
    arena.Add("start");
    const std::size_t first = arena.Bytes();
    EXPECT_GE(first, TTextArena::BlockBytes);
    // Texts of 15 bytes plus one for the length fill the first block before a second comes.
    const std::size_t fit = (TTextArena::BlockBytes - 6) / 16;
    for (std::size_t i = 0; i < fit; ++i)
        arena.Add("fifteen-bytes..");
    EXPECT_EQ(arena.Bytes(), first);
    const std::uint64_t next = arena.Add("fifteen-bytes..");
    EXPECT_GT(arena.Bytes(), first);
    EXPECT_EQ(arena.View(next), "fifteen-bytes..");
}

TEST(TextArena, ClearFreesTheBlocks) {
    TTextArena arena;
    arena.Add("text");
    arena.Clear();
    EXPECT_EQ(arena.Bytes(), 0U);
    EXPECT_EQ(arena.View(arena.Add("again")), "again");
}

} // namespace
} // namespace parvex
