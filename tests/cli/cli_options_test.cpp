// What parvex-cli makes of a command line, without running it.

#include "cli/cli_options.h"

#include <gtest/gtest.h>
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
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCliArguments(c.Args).Format, c.Expected) << Shown(c.Args);
}

TEST(CliOptionsTest, QuietAndStatsAreFlags) {
    EXPECT_FALSE(ParseCliArguments({"/t"}).Quiet);
    EXPECT_TRUE(ParseCliArguments({"--quiet", "/t"}).Quiet);
    EXPECT_TRUE(ParseCliArguments({"/t", "-q"}).Quiet);
    EXPECT_TRUE(ParseCliArguments({"--stats", "/t"}).ShowStats);
}

TEST(CliOptionsTest, PositionalsAreStartFolderAndMaskList) {
    const parvex::TCliOptions options = ParseCliArguments({"--", " /t \n", "-0;*.c"});
    EXPECT_EQ(options.StartFolder, "/t/");
    EXPECT_EQ(options.MaskList, "-0;*.c");
    EXPECT_EQ(options.Format, TOutputFormat::Text);
    EXPECT_EQ(options.SearchSpec(), "/t/-0;*.c");
    EXPECT_EQ(ParseCliArguments({"/"}).StartFolder, "/");
}

TEST(CliOptionsTest, BadCommandLinesAreUsageErrorsWithTheirReason) {
    const struct {
        std::vector<std::string> Args;
        std::string Message;
    } cases[] = {
        {{"--format", "json", "/t"}, "unknown format 'json' (formats: text, null)"},
        {{"--format", "/t"}, "unknown format '/t' (formats: text, null)"},
        {{"--format"}, "option --format needs a value"},
        {{"--format", "text", "-0", "/t"}, "only one of --format and -0 may be given"},
        {{"-0", "--format=null", "/t"}, "only one of --format and -0 may be given"},
        {{"-0", "-0", "/t"}, "only one of --format and -0 may be given"},
        {{"--format=text", "--format=text", "/t"}, "only one of --format and -0 may be given"},
        {{"-00", "/t"}, "unknown option '-00' (see --help)"},
        {{" \t"}, "START_FOLDER is empty (see --help)"},
        {{"--bad\noption", "/t"}, "unknown option '--bad\\noption' (see --help)"},
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
