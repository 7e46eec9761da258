// The records of an action run in each output format.

#include "cli/action_printer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace parvex {
namespace {

TActionOutcome Outcome(std::string name, bool done, std::string last) {
    TActionOutcome outcome;
    outcome.Name = std::move(name);
    outcome.Done = done;
    (done ? outcome.Target : outcome.Reason) = std::move(last);
    return outcome;
}

TEST(ActionPrinterTest, EachNameIsOneRecordOfActionPathAndTargetOrReason) {
    const TActionOutcome moved = Outcome("/t/a\tb\n", true, "/m/a\tb\n");
    const TActionOutcome skipped = Outcome("/t/c\\d", false, "changed since the search");
    const struct {
        TOutputFormat Format;
        std::string Moved;
        std::string Skipped;
    } cases[] = {
        {TOutputFormat::Text, "move\t/t/a\\tb\\n\t/m/a\\tb\\n\n",
         "skipped\t/t/c\\\\d\tchanged since the search\n"},
        {TOutputFormat::Null, std::string("move\0/t/a\tb\n\0/m/a\tb\n\0", 21),
         std::string("skipped\0/t/c\\d\0changed since the search\0", 40)},
        {TOutputFormat::Json, "", ""},
    };
    TActionRequest request;
    request.Run = {TActionKind::Move, "/m/", false};
    for (const auto& c : cases) {
        TActionPrinter printer(c.Format, request);
        EXPECT_EQ(printer.Record(moved), c.Moved) << static_cast<int>(c.Format);
        EXPECT_EQ(printer.Record(skipped), c.Skipped) << static_cast<int>(c.Format);
    }
}

TEST(ActionPrinterTest, JsonIsOneDocumentOfTheRunWithBytesThatAreNotUtf8InBase64) {
    TActionRequest request;
    request.Run = {TActionKind::Trash, {}, true};
    request.KeepRules = {"newest", "in:/photos"};
    request.ProtectedFolders = {"/safe/"};
    TActionPrinter printer(TOutputFormat::Json, request);
    static_cast<void>(printer.Record(Outcome("/t/\xff.bin", true, "")));
    static_cast<void>(printer.Record(Outcome("/t/b", false, "no longer there")));
    const std::vector<TResultGroupFacts> groups;
    const TActionPlan plan;
    const TActionRun run(groups, plan, request.Run, nullptr);
    const nlohmann::json document = nlohmann::json::parse(printer.Ending(run));
    EXPECT_EQ(document["format"], "parvex-actions") << document.dump();
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["action"], "trash");
    EXPECT_EQ(document["dry_run"], true);
    EXPECT_EQ(document["keep"][1]["rule"], "in:/photos");
    EXPECT_EQ(document["protected_folders"][0]["path"], "/safe/");
    ASSERT_EQ(document["entries"].size(), 2u) << document.dump();
    EXPECT_EQ(document["entries"][0]["action"], "trash");
    EXPECT_EQ(document["entries"][0]["path_b64"], "L3Qv/y5iaW4=");
    EXPECT_EQ(document["entries"][0]["target"], "");
    EXPECT_EQ(document["entries"][1]["action"], "skipped");
    EXPECT_EQ(document["entries"][1]["reason"], "no longer there");
}

} // namespace
} // namespace parvex
