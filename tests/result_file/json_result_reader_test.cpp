// Reading a result document back: what the writer wrote comes back whole, and a text that is no
// such document is refused with a message that says what is wrong.

#include "result_file/json_result.h"
#include "result_file/json_result_reader.h"

#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;
using parvex::EResultFileError;
using parvex::ReadJsonResult;
using parvex::TJsonResult;
using parvex::TResultFileFacts;
using parvex::TResultSearch;

TResultSearch Search() {
    TResultSearch search;
    search.StartFolder = "/t/\xfe/";
    search.WorkingFolder = "/home/u/";
    search.MaskList = "*.txt;*.c";
    search.Keys = {false, true, false, true};
    search.ExcludedFolders = {"/t/skip/", "/t/\xff/"};
    search.MinSize = 10;
    search.MaxSize = 5000;
    search.Hidden = false;
    search.ReadOnly = true;
    search.Host = "box";
    search.StartedNs = 1700000000000000001;
    return search;
}

TResultFileFacts File(const std::string& path, std::uint64_t inode, bool marked) {
    TResultFileFacts file;
    file.Path = path;
    file.Size = 100;
    file.ModifiedNs = -1500000000; // before 1970: the fraction still reads back
    file.Id = {7, inode};
    file.OtherNames = {"/t/other-\xff"};
    file.Marked = marked;
    return file;
}

std::string Document() {
    TJsonResult result(Search());
    result.AddGroup("a\xff");
    result.AddFile(File("/t/a\xff", 1, false));
    result.AddFile(File("/t/b/a", 2, true));
    result.AddSkipped("/t/locked/", "Permission denied");
    return result.Text(false);
}

// The message of the refusal of `text`, or "(read)" when it was read.
std::string Refusal(const std::string& text) {
    try {
        (void)ReadJsonResult(text);
    } catch (const EResultFileError& error) {
        return error.what();
    }
    return "(read)";
}

TEST(JsonResultReaderTest, ReadsBackWhatTheWriterWrote) {
    const parvex::TResultDocument document = ReadJsonResult(Document());
    const TResultSearch& search = document.Search;
    const TResultSearch written = Search();
    EXPECT_EQ(search.StartFolder, written.StartFolder);
    EXPECT_EQ(search.WorkingFolder, written.WorkingFolder);
    EXPECT_EQ(search.MaskList, written.MaskList);
    EXPECT_EQ(search.Keys, written.Keys);
    EXPECT_EQ(search.ExcludedFolders, written.ExcludedFolders);
    EXPECT_EQ(search.MinSize, 10);
    EXPECT_EQ(search.MaxSize, 5000);
    EXPECT_FALSE(search.Hidden);
    EXPECT_TRUE(search.ReadOnly);
    EXPECT_EQ(search.Host, "box");
    EXPECT_EQ(search.StartedNs, written.StartedNs);
    EXPECT_FALSE(document.Complete);
    ASSERT_EQ(document.Groups.size(), 1U);
    const auto& group = document.Groups[0];
    EXPECT_EQ(group.Name, "a\xff");
    EXPECT_EQ(group.Wasted, 100);
    ASSERT_EQ(group.Files.size(), 2U);
    EXPECT_EQ(group.Files[0].Path, "/t/a\xff");
    EXPECT_EQ(group.Files[0].ModifiedNs, -1500000000);
    EXPECT_EQ(group.Files[0].Id, (parvex::TFileId{7, 1}));
    EXPECT_EQ(group.Files[0].OtherNames, std::vector<std::string>{"/t/other-\xff"});
    EXPECT_FALSE(group.Files[0].Marked);
    EXPECT_EQ(group.Files[1].Path, "/t/b/a");
    EXPECT_TRUE(group.Files[1].Marked);
    ASSERT_EQ(document.Skipped.size(), 1U);
    EXPECT_EQ(document.Skipped[0].Path, "/t/locked/");
    EXPECT_EQ(document.Skipped[0].Reason, "Permission denied");
}

TEST(JsonResultReaderTest, RelativePathsStartAtTheWorkingFolderAsWritten) {
    json document = json::parse(Document());
    // Texts of the document that are not UTF-8 are in "…_b64" members: give them as text.
    document["search"].erase("start_folder_b64");
    document["groups"][0]["files"][0].erase("path_b64");
    document["groups"][0]["files"][1]["other_names"][0].erase("path_b64");
    document["search"]["start_folder"] = "./t/";
    document["search"]["working_folder"] = "/home/u";
    document["search"]["excluded_folders"][0]["path"] = "t/skip/";
    document["groups"][0]["files"][0]["path"] = "./t/a";
    document["groups"][0]["files"][1]["path"] = "./t/../t/b";
    document["groups"][0]["files"][1]["other_names"][0]["path"] = "t//c";
    document["skipped"][0]["path"] = "./t/locked/";
    const parvex::TResultDocument read = ReadJsonResult(document.dump());
    EXPECT_EQ(read.Search.StartFolder, "/home/u/./t/");
    EXPECT_EQ(read.Search.ExcludedFolders[0], "/home/u/t/skip/");
    EXPECT_EQ(read.Search.ExcludedFolders[1], "/t/\xff/");
    EXPECT_EQ(read.Groups[0].Files[0].Path, "/home/u/./t/a");
    EXPECT_EQ(read.Groups[0].Files[1].Path, "/home/u/./t/../t/b");
    EXPECT_EQ(read.Groups[0].Files[1].OtherNames[0], "/home/u/t//c");
    EXPECT_EQ(read.Skipped[0].Path, "/home/u/./t/locked/");
}

TEST(JsonResultReaderTest, NoSizeLimitReadsAsTheLargestSize) {
    json document = json::parse(Document());
    document["search"]["max_size"] = nullptr;
    EXPECT_EQ(ReadJsonResult(document.dump()).Search.MaxSize,
              std::numeric_limits<std::int64_t>::max());
}

TEST(JsonResultReaderTest, RefusesWhatIsNoResultDocumentSayingWhy) {
    const json good = json::parse(Document());
    const auto changed = [&good](const std::function<void(json&)>& change) {
        json document = good;
        change(document);
        return document.dump();
    };
    const struct {
        std::string Text;
        std::string Message;
    } cases[] = {
        {"{\"format\": ", "not JSON: "},
        {"[1, 2]", "is not an object"},
        {changed([](json& d) { d["format"] = "other"; }),
         "\"format\" is \"other\", not \"parvex-result\""},
        {changed([](json& d) { d["version"] = 2; }), "version 2 is not the version 1"},
        {changed([](json& d) { d.erase("groups"); }), "\"groups\" is missing or not a list"},
        {changed([](json& d) {
             d["search"]["keys"] = {"size", "colour"};
         }),
         "search: \"keys\" holds \"colour\", which is no compare key"},
        {changed([](json& d) { d["search"]["time"] = "yesterday"; }),
         "search: \"time\" is not an RFC 3339 UTC time"},
        {changed([](json& d) { d["groups"][0]["files"][1].erase("size"); }),
         "groups[0].files[1]: \"size\" is missing or not a whole number"},
        {changed([](json& d) { d["groups"][0]["files"][0]["size"] = -1; }),
         "groups[0].files[0]: \"size\" is below 0"},
        {changed([](json& d) { d["groups"][0]["files"][0]["ino"] = -1; }),
         "groups[0].files[0]: \"ino\" is negative"},
        {changed([](json& d) { d["groups"][0]["files"][0]["path_b64"] = "L3Q*"; }),
         "groups[0].files[0]: \"path\" (or \"path_b64\") is missing or not a text"},
        {changed([](json& d) { d["skipped"][0] = 3; }), "skipped[0]: is not an object"},
        {changed([](json& d) { d["groups"][0]["files"][1]["path"] = ""; }),
         "groups[0].files[1]: \"path\" is empty"},
        {changed([](json& d) { d["groups"][0]["files"][1]["path"] = std::string("/t/a\0b", 6); }),
         "groups[0].files[1]: \"path\" holds a NUL byte"},
        {changed([](json& d) {
             d["groups"][0]["files"][0]["other_names"][0] = {{"path", ""}};
         }),
         "groups[0].files[0].other_names[0]: \"path\" is empty"},
        {changed([](json& d) { d["groups"][0]["files"][1]["path_b64"] = "L3Q="; }),
         "groups[0].files[1]: holds both \"path\" and \"path_b64\""},
        {changed([](json& d) { d["groups"][0]["files"].erase(1); }),
         "groups[0]: lists 1 file, and a group has two or more"},
        {changed([](json& d) { d["groups"][0]["files"] = json::array(); }),
         "groups[0]: lists 0 files, and a group has two or more"},
        {changed([](json& d) { d["groups"][0]["files"][1] = d["groups"][0]["files"][0]; }),
         "groups[0].files[1]: the path is listed already as groups[0].files[0]"},
        {changed([](json& d) {
             d["groups"].push_back(d["groups"][0]);
             d["groups"][1]["files"][0].erase("path_b64");
             d["groups"][1]["files"][0]["path"] = "/t/c";
             d["groups"][1]["files"][0]["ino"] = 3;
         }),
         "groups[1].files[1]: the path is listed already as groups[0].files[1]"},
        {changed([](json& d) { d["groups"][0]["files"][1]["ino"] = 1; }),
         "groups[0].files[1]: the device and inode are listed already as groups[0].files[0]"},
        {changed([](json& d) {
             d["search"].erase("start_folder_b64");
             d["search"]["start_folder"] = "./";
             d["search"].erase("working_folder");
         }),
         "search: the start folder is relative and \"working_folder\" is missing"},
        {changed([](json& d) { d["search"]["working_folder"] = "home/u/"; }),
         "search: \"working_folder\" is not an absolute path"},
        {changed([](json& d) {
             d["groups"] = json::parse(std::string(63, '[') + std::string(63, ']'));
         }),
         "groups[0]: is not an object"},
        {"{\"format\": \"parvex-result\", \"extra\": " + std::string(63, '[') +
             std::string(63, ']') + "}",
         "\"version\" is missing or not a whole number"},
        {"{\"format\": \"parvex-result\", \"extra\": " + std::string(64, '['),
         "extra: lists and objects are nested deeper than 64"},
        {std::string(20 << 20, '['), "is not an object"},
    };
    for (const auto& c : cases)
        EXPECT_NE(Refusal(c.Text).find(c.Message), std::string::npos)
            << "message: " << Refusal(c.Text) << "\nexpected: " << c.Message;
}

} // namespace
