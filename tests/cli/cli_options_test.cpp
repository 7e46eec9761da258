// What parvex-cli makes of a command line, without running it.

#include "cli/cli_options.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

using parvex::ECliUsageError;
using parvex::ParseCliArguments;
using parvex::TOutputFormat;

std::string Shown(const std::vector<std::string>& args) {
    std::string shown;
    for (const auto& arg : args)
        shown += "[" + arg + "]";
    return shown;
}

TEST(CliOptionsTest, FormatIsTextUnlessOneNullFormatIsGiven) {
    const struct {
        std::vector<std::string> Args;
        TOutputFormat Expected;
    } cases[] = {
        {{"/t"}, TOutputFormat::Text},
        {{"--format", "text", "/t"}, TOutputFormat::Text},
        {{"--format=text", "/t"}, TOutputFormat::Text},
        {{"--format", "null", "/t"}, TOutputFormat::Null},
        {{"/t", "--format=null"}, TOutputFormat::Null},
        {{"-0", "/t"}, TOutputFormat::Null},
        {{"/t", "*.txt", "-0"}, TOutputFormat::Null},
        {{"--format", "json", "/t"}, TOutputFormat::Json},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCliArguments(c.Args).Format, c.Expected) << Shown(c.Args);
}

TEST(CliOptionsTest, QuietStatsAndNoCacheAreFlags) {
    EXPECT_TRUE(ParseCliArguments({"/t"}).UseStore);
    EXPECT_FALSE(ParseCliArguments({"--no-cache", "/t"}).UseStore);
    EXPECT_FALSE(ParseCliArguments({"/t"}).Quiet);
    EXPECT_TRUE(ParseCliArguments({"--quiet", "/t"}).Quiet);
    EXPECT_TRUE(ParseCliArguments({"/t", "-q"}).Quiet);
    EXPECT_TRUE(ParseCliArguments({"--stats", "/t"}).ShowStats);
}

TEST(CliOptionsTest, SizeLimitsAreInclusiveBytesWithDecimalUnits) {
    const parvex::TCliOptions none = ParseCliArguments({"/t"});
    EXPECT_EQ(none.MinSize, 0);
    EXPECT_EQ(none.MaxSize, std::numeric_limits<std::int64_t>::max());
    const parvex::TCliOptions both =
        ParseCliArguments({"--min-size", "1.5K", "--max-size=2M", "/t"});
    EXPECT_EQ(both.MinSize, 1500);
    EXPECT_EQ(both.MaxSize, 2000000);
    // One size for both limits leaves exactly that size.
    const parvex::TCliOptions equal = ParseCliArguments({"--min-size=7", "--max-size=7", "/t"});
    EXPECT_EQ(equal.MinSize, 7);
    EXPECT_EQ(equal.MaxSize, 7);
}

TEST(CliOptionsTest, HiddenAndReadOnlyFilesAreCollectedUnlessLeftOut) {
    const parvex::TCliOptions all = ParseCliArguments({"/t"});
    EXPECT_TRUE(all.Hidden);
    EXPECT_TRUE(all.ReadOnly);
    const parvex::TCliOptions some = ParseCliArguments({"--no-hidden", "--no-read-only", "/t"});
    EXPECT_FALSE(some.Hidden);
    EXPECT_FALSE(some.ReadOnly);
}

TEST(CliOptionsTest, ThreadsAreAutomaticUnlessACountIsGiven) {
    EXPECT_EQ(ParseCliArguments({"/t"}).Threads, 0);
    EXPECT_EQ(ParseCliArguments({"--threads", "0", "/t"}).Threads, 0);
    EXPECT_EQ(ParseCliArguments({"--threads", "1", "/t"}).Threads, 1);
    EXPECT_EQ(ParseCliArguments({"/t", "--threads=8"}).Threads, 8);
    EXPECT_EQ(ParseCliArguments({"--threads=1024", "/t"}).Threads, 1024);
}

TEST(CliOptionsTest, PositionalsAreStartFolderAndMaskList) {
    const parvex::TCliOptions options = ParseCliArguments({"--", " /t \n", "-0;*.c"});
    EXPECT_EQ(options.StartFolder, "/t/");
    EXPECT_EQ(options.MaskList, "-0;*.c");
    EXPECT_EQ(options.Format, TOutputFormat::Text);
    EXPECT_EQ(options.SearchSpec(), "/t/-0;*.c");
    EXPECT_EQ(ParseCliArguments({"/"}).StartFolder, "/");
}

TEST(CliOptionsTest, AnActionTakesItsKeepRulesInOrderProtectedFoldersAndADryRun) {
    const parvex::TCliOptions searched =
        ParseCliArguments({"--move-to", "/m", "--keep", "newest", "--keep=in:/photos", "--protect",
                           "/p", "--dry-run", "/t"});
    EXPECT_EQ(searched.Action, parvex::TActionKind::Move);
    EXPECT_EQ(searched.MoveFolder, "/m/");
    const std::vector<parvex::TKeepRule> rules{{parvex::TKeepRuleKind::Newest, {}},
                                               {parvex::TKeepRuleKind::In, "/photos"}};
    EXPECT_EQ(searched.KeepRules, rules);
    EXPECT_EQ(searched.ProtectedFolders, std::vector<std::string>{"/p/"});
    EXPECT_TRUE(searched.DryRun);
    EXPECT_EQ(searched.StartFolder, "/t/");
    const parvex::TCliOptions saved = ParseCliArguments({"--link", "--from", "r.json"});
    EXPECT_EQ(saved.Action, parvex::TActionKind::HardLink);
    EXPECT_EQ(saved.FromFile, "r.json");
    EXPECT_TRUE(saved.KeepRules.empty());
    EXPECT_EQ(ParseCliArguments({"--dedupe", "/t"}).Action, parvex::TActionKind::Share);
    EXPECT_FALSE(ParseCliArguments({"/t"}).Action) << "a search alone acts on nothing";
}

TEST(CliOptionsTest, BadCommandLinesAreUsageErrorsWithTheirReason) {
    const struct {
        std::vector<std::string> Args;
        std::string Message;
    } cases[] = {
        {{"--format", "xml", "/t"}, "unknown format 'xml' (formats: text, null, json)"},
        {{"--format", "/t"}, "unknown format '/t' (formats: text, null, json)"},
        {{"--min-size", "10Q", "/t"},
         "bad size '10Q' for --min-size (bytes, or a number with K, M or G: 10K, 1.5M, 2G)"},
        {{"--max-size=-1", "/t"},
         "bad size '-1' for --max-size (bytes, or a number with K, M or G: 10K, 1.5M, 2G)"},
        {{"--max-size"}, "option --max-size needs a value"},
        {{"--min-size", "2K", "--max-size", "1999", "/t"},
         "--min-size 2000 is larger than --max-size 1999"},
        {{"--format"}, "option --format needs a value"},
        {{"--threads"}, "option --threads needs a value"},
        {{"--threads", "-1", "/t"},
         "bad thread count '-1' for --threads (0 for automatic, or 1 "
         "to 1024)"},
        {{"--threads=+2", "/t"},
         "bad thread count '+2' for --threads (0 for automatic, or 1 to "
         "1024)"},
        {{"--threads=", "/t"},
         "bad thread count '' for --threads (0 for automatic, or 1 to "
         "1024)"},
        {{"--threads", "4x", "/t"},
         "bad thread count '4x' for --threads (0 for automatic, or 1 "
         "to 1024)"},
        {{"--threads", "1025", "/t"},
         "bad thread count '1025' for --threads (0 for automatic, "
         "or 1 to 1024)"},
        {{"--threads", "99999999999", "/t"},
         "bad thread count '99999999999' for --threads (0 "
         "for automatic, or 1 to 1024)"},
        {{"--format", "text", "-0", "/t"}, "only one of --format and -0 may be given"},
        {{"-0", "--format=null", "/t"}, "only one of --format and -0 may be given"},
        {{"-0", "-0", "/t"}, "only one of --format and -0 may be given"},
        {{"--format=text", "--format=text", "/t"}, "only one of --format and -0 may be given"},
        {{"-00", "/t"}, "unknown option '-00' (see --help)"},
        {{" \t"}, "START_FOLDER is empty (see --help)"},
        {{"--bad\noption", "/t"}, "unknown option '--bad\\noption' (see --help)"},
        {{"--keep", "biggest", "--trash", "/t"},
         "unknown keep rule 'biggest' (rules: newest, oldest, shortest-path, longest-path, "
         "first, in:DIR, glob:PATTERN)"},
        {{"--dedupe", "--link", "/t"},
         "only one of --trash, --move-to, --link and --dedupe may be given"},
        {{"--move-to=/m", "--trash", "/t"},
         "only one of --trash, --move-to, --link and --dedupe may be given"},
        {{"--keep", "newest", "/t"},
         "--keep needs an action: --trash, --move-to DIR, --link or --dedupe"},
        {{"--protect", "/p", "/t"},
         "--protect needs an action: --trash, --move-to DIR, --link or --dedupe"},
        {{"--dry-run", "/t"},
         "--dry-run needs an action: --trash, --move-to DIR, --link or --dedupe"},
        {{"--from", "r.json"},
         "--from needs an action: --trash, --move-to DIR, --link or --dedupe"},
        {{"--from", "r.json", "--trash", "/t"},
         "--from acts on a saved result: no START_FOLDER may be given"},
        {{"--trash"}, "missing START_FOLDER (see --help)"},
    };
    for (const auto& c : cases) {
        try {
            ParseCliArguments(c.Args);
            ADD_FAILURE() << Shown(c.Args) << " was accepted";
        } catch (const ECliUsageError& error) {
            EXPECT_EQ(std::string(error.what()), c.Message) << Shown(c.Args);
        }
    }
}

} // namespace
