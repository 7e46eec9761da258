#include "platform/file_mask.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

struct TMaskCase {
    const char* Name;
    const char* Mask;
    bool Matches;
};

TEST(FileMask, MatchesAsTheTableSays) {
    const TMaskCase cases[] = {
        {"a.txt", "*.txt", true},
        {"A.TXT", "*.txt", true},
        {"a.txt", "*.TXT", true},
        {"a.txt.bak", "*.txt", false},
        {"README", "*.*", true},
        {"README", "*", true},
        {".profile", "*.*", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbc", "a?c", false},
        {"\xc3\xa9.txt", "?.txt", true}, // "é" is one character
        {"\xff.txt", "?.txt", true},     // a byte that is no UTF-8 is one character
        {"a.txt", "", false},
        {"abc", "ABC", true},
        {"abc", "abd", false},
        {"aXbXc", "a*b*c", true},
        {"ab", "a*b*c", false},
        {"\xc3\x84.txt", "\xc3\xa4.txt", false}, // only a to z ignore case
        {"x.tar.gz", "*.gz", true},
        {"abc", "*?", true},
        {"abc", "****c", true},
        {"a;b", "a;b", true},
    };
    for (const TMaskCase& c : cases)
        EXPECT_EQ(MatchesFileMask(c.Name, c.Mask), c.Matches)
            << "name \"" << c.Name << "\" mask \"" << c.Mask << "\"";
}

} // namespace
} // namespace parvex
