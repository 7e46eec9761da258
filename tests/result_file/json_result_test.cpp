// The JSON result document built from a search's reports, without running a search.

#include "result_file/json_result.h"

#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;
using parvex::TJsonResult;
using parvex::TResultFileFacts;
using parvex::TResultSearch;

TResultSearch Search(bool sizeAndContent) {
    TResultSearch search;
    search.StartFolder = "/t/";
    search.WorkingFolder = "/home/u/";
    search.MaskList = "*.txt;*.c;";
    search.Keys = {false, sizeAndContent, true, sizeAndContent};
    search.ExcludedFolders = {"/t/skip/", "/t/\xff/"};
    search.MinSize = 10;
    search.MaxSize = std::numeric_limits<std::int64_t>::max();
    search.Hidden = false;
    search.Host = "box";
    search.StartedNs = 1700000000000000001;
    return search;
}

TResultFileFacts File(const std::string& path, std::uint64_t inode, bool allNamesFound = true,
                      std::vector<std::string> otherNames = {}) {
    TResultFileFacts file;
    file.Path = path;
    file.Size = 100;
    file.ModifiedNs = 1700000000123456789;
    file.Id = {7, inode};
    file.AllNamesFound = allNamesFound;
    file.OtherNames = std::move(otherNames);
    return file;
}

TEST(JsonResultTest, DescribesTheSearch) {
    TJsonResult result(Search(true));
    const json document = json::parse(result.Text(true));
    EXPECT_EQ(document["format"], "parvex-result");
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["complete"], true);
    const json& search = document["search"];
    EXPECT_EQ(search["start_folder"], "/t/");
    EXPECT_EQ(search["working_folder"], "/home/u/");
    EXPECT_EQ(search["masks"], json::parse(R"([{"mask":"*.txt"},{"mask":"*.c"}])"));
    EXPECT_EQ(search["keys"], json::parse(R"(["size","time","content"])"));
    EXPECT_EQ(search["excluded_folders"],
              json::parse(R"([{"path":"/t/skip/"},{"path_b64":"L3Qv/y8="}])"));
    EXPECT_EQ(search["min_size"], 10);
    EXPECT_TRUE(search["max_size"].is_null());
    EXPECT_EQ(search["hidden"], false);
    EXPECT_EQ(search["read_only"], true);
    EXPECT_EQ(search["host"], "box");
    EXPECT_EQ(search["time"], "2023-11-14T22:13:20.000000001Z");
    EXPECT_EQ(document["groups"], json::array());
    EXPECT_EQ(document["skipped"], json::array());
}

TEST(JsonResultTest, GroupsInTheOrderFoundWithTheirFilesAndWastedSpace) {
    TJsonResult result(Search(true));
    result.AddFile(File("/t/before-any-group", 1)); // no group yet: left out
    result.AddGroup("a.txt");
    result.AddFile(File("/t/a.txt", 1, true, {"/t/link-a.txt"}));
    result.AddFile(File("/t/b/a.txt", 2));
    result.AddFile(File("/t/c/a.txt", 3));
    result.AddGroup("z\xff");
    result.AddFile(File("/t/z\xff", 4, false));
    result.AddFile(File("/t/y", 5));
    result.AddSkipped("/t/locked/", "Permission denied");
    const json document = json::parse(result.Text(false));
    EXPECT_EQ(document["complete"], false);
    ASSERT_EQ(document["groups"].size(), 2U) << document.dump(1);
    const json& first = document["groups"][0];
    EXPECT_EQ(first["name"], "a.txt");
    EXPECT_EQ(first["wasted"], 200);
    ASSERT_EQ(first["files"].size(), 3U);
    EXPECT_EQ(first["files"][0], json::parse(R"({
        "path": "/t/a.txt", "size": 100, "mtime": "2023-11-14T22:13:20.123456789Z",
        "mtime_ns": 1700000000123456789, "dev": 7, "ino": 1,
        "other_names": [{"path": "/t/link-a.txt"}], "marked": false})"));
    const json& second = document["groups"][1];
    EXPECT_EQ(second["name_b64"], "ev8=");
    EXPECT_EQ(second["files"][0]["path_b64"], "L3Qvev8=");
    // The file with a name outside the result stays, so the other copy is freed whole.
    EXPECT_EQ(second["wasted"], 100);
    EXPECT_EQ(document["skipped"],
              json::parse(R"([{"path": "/t/locked/", "reason": "Permission denied"}])"));
}

TEST(JsonResultTest, WastedSpaceIsNullUnlessSizeAndContentWereCompared) {
    TJsonResult result(Search(false));
    result.AddGroup("a.txt");
    result.AddFile(File("/t/a.txt", 1));
    result.AddFile(File("/t/b.txt", 2));
    const json document = json::parse(result.Text(true));
    EXPECT_TRUE(document["groups"][0]["wasted"].is_null()) << document.dump(1);
}

} // namespace
