#include "_compearer/path_column.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parvex {
namespace {

TEST(PathColumn, APathIsItsFolderAndNameJoined) {
    TPathColumn paths;
    paths.Add("/a/", "one.txt");
    paths.Add("/a/", "two.txt");
    paths.Add("/b/c/", std::string("\xff\xfe.bin", 6));
    paths.Add("", "bare");
    EXPECT_EQ(std::vector<std::string>(paths.begin(), paths.end()),
              (std::vector<std::string>{"/a/one.txt", "/a/two.txt",
                                        std::string("/b/c/\xff\xfe.bin", 11), "bare"}));
    EXPECT_EQ(paths.Folder(1), "/a/");
    EXPECT_EQ(paths.Name(1), "two.txt");
    EXPECT_EQ(paths.Folder(3), "");
    std::string path = "an earlier, longer text in the buffer";
    paths.CopyPath(0, path);
    EXPECT_EQ(path, "/a/one.txt");
}

TEST(PathColumn, EqualsComparesTheWholePath) {
    TPathColumn paths;
    paths.Add("/a/", "b");
    EXPECT_TRUE(paths.Equals(0, "/a/b"));
    EXPECT_FALSE(paths.Equals(0, "/a/bb"));
    EXPECT_FALSE(paths.Equals(0, "/a/"));
    EXPECT_FALSE(paths.Equals(0, "/x/b"));
    EXPECT_FALSE(paths.Equals(0, "b"));
}

TEST(PathColumn, AFolderOfManyFilesIsStoredOnce) {
    const std::string folder = "/home/someone/a folder with a long enough name/";
    TPathColumn one, alternating, each;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "f" + std::to_string(i);
        one.Add(folder, name);
        alternating.Add(i % 2 ? folder : folder + "x/", name);
        each.Add(folder + std::to_string(i) + "/", name);
    }
    EXPECT_LT(alternating.Bytes(), one.Bytes() + 2 * folder.size() + 256);
    EXPECT_GT(each.Bytes(), one.Bytes() + 1000 * folder.size());
    EXPECT_EQ(one[999], folder + "f999");
    EXPECT_EQ(alternating[998], folder + "x/f998");
    EXPECT_EQ(alternating[999], folder + "f999");
    EXPECT_EQ(each[7], folder + "7/f7");
}

TEST(PathColumn, RowsMovedDownAndTruncatedKeepTheirPaths) {
    TPathColumn paths;
    for (const char* name : {"a", "b", "c", "d"})
        paths.Add("/x/", name);
    paths.Add("/y/", "e");
    paths.MoveRow(2, 1);
    paths.MoveRow(4, 2);
    paths.Truncate(3);
    EXPECT_EQ(std::vector<std::string>(paths.begin(), paths.end()),
              (std::vector<std::string>{"/x/a", "/x/c", "/y/e"}));
    paths.Clear();
    EXPECT_TRUE(paths.empty());
    EXPECT_LT(paths.Bytes(), 64U) << "a cleared column keeps its memory";
}

} // namespace
} // namespace parvex
