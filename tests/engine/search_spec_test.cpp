#include "_compearer/search_spec.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

struct TSpecCase {
    std::string Spec;
    std::vector<std::string> Patterns;
};

TEST(SearchSpec, SplitsIntoPatternsAsTheTableSays) {
    const TSpecCase cases[] = {
        {"/d/*.txt", {"/d/*.txt"}},
        {"/d/*.txt;*.doc", {"/d/*.txt", "/d/*.doc"}},
        {"/d/*.txt;", {"/d/*.txt"}},                          // a trailing ";" adds nothing
        {"/d/*.txt;;*.doc", {"/d/*.txt", "/d/", "/d/*.doc"}}, // an empty piece: empty mask
        {"/d/;*.txt", {"/d/", "/d/*.txt"}},
        {"/d/* .txt; *.doc", {"/d/* .txt", "/d/ *.doc"}}, // pieces are not trimmed
        {"/d/*.txt;sub/*.c;*.h", {"/d/*.txt", "/d/sub/*.c", "/d/sub/*.h"}},
        {"/no;such/*.txt;*.doc", {"/no", "/such/*.txt", "/such/*.doc"}},
        {"", {""}},
    };
    for (const TSpecCase& c : cases)
        EXPECT_EQ(SplitSearchSpec(c.Spec), c.Patterns) << "spec \"" << c.Spec << "\"";
}

TEST(SearchSpec, AnInputMaskListWithNothingButBlanksMeansEveryFile) {
    const struct {
        const char* Typed;
        const char* Used;
    } cases[] = {
        {"", "*.*"}, {" \t\n", "*.*"}, {"*.jpg", "*.jpg"}, {" *.jpg ", " *.jpg "}, {";", ";"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskListOfInput(c.Typed), c.Used) << "typed \"" << c.Typed << "\"";
}

TEST(SearchSpec, ASeparatorInsideAnExistingStartFolderBelongsToTheFolder) {
    testing::TTempTree tree;
    const std::string folder = tree.Folder("a;b/c;d");
    EXPECT_EQ(SplitSearchSpec(folder + "*.txt;*.doc"),
              (std::vector<std::string>{folder + "*.txt", folder + "*.doc"}));
    EXPECT_EQ(SplitSearchSpec(folder + "*.txt"), std::vector<std::string>{folder + "*.txt"});
}

TEST(SearchSpec, AStartFolderIsTrimmedOfBlanksAndControlsAndEndsInASlash) {
    const struct {
        const char* Typed;
        const char* Normalized;
    } cases[] = {
        {"  /home/Ann/Photos  ", "/home/Ann/Photos/"},
        {"\t/srv/Data/\r\n", "/srv/Data/"},
        {"\x01/tmp\x7f", "/tmp/"},
        {"\x01\x1f/tmp/\r\x7f", "/tmp/"},
        {"/", "/"},
        {"", "/"},
        {"   ", "/"},
        {"/a b/c d", "/a b/c d/"},
        {"relative/dir", "relative/dir/"},
        {"/caf\xe9 \xff", "/caf\xe9 \xff/"},           // bytes that are no UTF-8 stay as they are
        {"\xc2\xa0/x\xc2\xa0", "\xc2\xa0/x\xc2\xa0/"}, // a no-break space is no blank here
        {"/tmp//", "/tmp//"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeStartFolder(c.Typed), c.Normalized) << "typed \"" << c.Typed << "\"";
}

TEST(SearchSpec, FolderPartRunsToTheLastSlash) {
    EXPECT_EQ(FolderPartLength("/a/b/*.txt"), 5U);
    EXPECT_EQ(FolderPartLength("/a/b/"), 5U);
    EXPECT_EQ(FolderPartLength("*.txt"), 0U);
}

} // namespace
} // namespace parvex
