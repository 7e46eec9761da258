// Reading a result document from a file: only a regular file within the size cap is read, in
// pieces, reporting progress and heeding a cancel; anything else is refused without waiting
// and without reading it.

#include "result_file/json_result.h"
#include "result_file/json_result_reader.h"
#include "support/temp_tree.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>

namespace {

using parvex::EResultFileCancelled;
using parvex::EResultFileError;
using parvex::EResultFileUnreadable;
using parvex::ReadJsonResultFile;
using parvex::TResultReadControl;
using parvex::testing::TTempTree;

// A document of `groups` groups of two files each.
std::string Document(int groups) {
    parvex::TResultSearch search;
    search.StartFolder = "/t/";
    search.WorkingFolder = "/";
    search.MaskList = "*.*";
    search.Keys = {false, true, false, true};
    parvex::TJsonResult result(search);
    for (int g = 0; g < groups; ++g) {
        const std::string name = "file" + std::to_string(g);
        result.AddGroup(name);
        for (int copy = 0; copy < 2; ++copy) {
            parvex::TResultFileFacts file;
            file.Path = "/t/" + std::to_string(copy) + "/" + name;
            file.Size = 10;
            file.Id = {1, std::uint64_t(2 * g + copy + 1)};
            result.AddFile(file);
        }
    }
    return result.Text(true);
}

struct TAttempt {
    std::string Outcome; // "read", or the kind of refusal and its message
    std::uint64_t BytesRead = 0;
    int ProgressCalls = 0;
};

TAttempt Read(const std::string& path, bool cancelAfterFirstPiece = false) {
    TAttempt attempt;
    std::atomic<bool> cancel = false;
    TResultReadControl control;
    control.Progress = [&](std::uint64_t read, std::uint64_t) {
        attempt.BytesRead = read;
        ++attempt.ProgressCalls;
        if (cancelAfterFirstPiece)
            cancel = true;
    };
    control.Cancel = &cancel;
    try {
        (void)ReadJsonResultFile(path, control);
        attempt.Outcome = "read";
    } catch (const EResultFileCancelled& error) {
        attempt.Outcome = std::string("cancelled: ") + error.what();
    } catch (const EResultFileUnreadable& error) {
        attempt.Outcome = std::string("unreadable: ") + error.what();
    } catch (const EResultFileError& error) {
        attempt.Outcome = std::string("refused: ") + error.what();
    }
    return attempt;
}

TEST(JsonResultFileTest, OnlyARegularFileWithinTheCapIsReadAndOthersAreRefusedUnread) {
    TTempTree tree;
    tree.Fifo("fifo.json");
    tree.Folder("folder.json");
    tree.SparseFile("huge.json", static_cast<long long>(parvex::kResultFileSizeCap) + 1, '}');
    const struct {
        std::string Path;
        std::string Outcome;
    } cases[] = {
        // A FIFO without a writer would block a plain open or read for ever.
        {tree.Path("fifo.json"), "unreadable: it is not a regular file"},
        {"/dev/null", "unreadable: it is not a regular file"},
        {tree.Path("folder.json"), "unreadable: it is a folder"},
        {tree.Path("absent.json"), "unreadable: No such file or directory"},
        {tree.Path("huge.json"), "unreadable: it is larger than 4 GiB, the most a result file "
                                 "may hold"},
    };
    for (const auto& c : cases) {
        const TAttempt attempt = Read(c.Path);
        EXPECT_EQ(attempt.Outcome, c.Outcome) << c.Path;
        EXPECT_EQ(attempt.ProgressCalls, 0) << c.Path << ": " << attempt.BytesRead << " bytes read";
    }
}

TEST(JsonResultFileTest, DeepNestingIsRefusedAtTheDepthLimitAfterOnePiece) {
    TTempTree tree;
    const std::string deeper = tree.File(
        "deeper.json", "{\"format\": \"parvex-result\", \"extra\": " + std::string(20 << 20, '['));
    const TAttempt attempt = Read(deeper);
    EXPECT_EQ(attempt.Outcome, "refused: extra: lists and objects are nested deeper than 64");
    EXPECT_EQ(attempt.ProgressCalls, 1) << attempt.BytesRead << " bytes read";
}

TEST(JsonResultFileTest, ReadsInPiecesReportingProgressAndStopsWhenCancelled) {
    TTempTree tree;
    const std::string text = Document(3000);
    const std::string path = tree.File("result.json", text);
    const TAttempt whole = Read(path);
    EXPECT_EQ(whole.Outcome, "read");
    EXPECT_EQ(whole.BytesRead, text.size());
    EXPECT_GT(whole.ProgressCalls, 2) << text.size() << " bytes";

    const TAttempt cancelled = Read(path, true);
    EXPECT_EQ(cancelled.Outcome, "cancelled: cancelled");
    EXPECT_EQ(cancelled.ProgressCalls, 1) << cancelled.BytesRead << " bytes read";
}

} // namespace
