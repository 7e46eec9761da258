// The bytes of each output format for a sequence of OnFileFound events.

#include "cli/result_printer.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using parvex::TOutputFormat;
using parvex::TResultPrinter;
using namespace std::string_literals;

using TEvents = std::vector<std::pair<std::string, bool>>; // text, new group

std::string Printed(TOutputFormat format, const TEvents& events) {
    TResultPrinter printer(format);
    std::string out;
    for (const auto& [text, newGroup] : events)
        out += printer.Record(text, newGroup);
    out += printer.Ending();
    return out;
}

const TEvents TwoGroups{{"a.txt", true}, {"/t/a.txt", false}, {"/t/s/b", false},
                        {"c\nd", true},  {"/t/c\nd", false},  {"/t/e\\f", false}};

TEST(CliResultPrinterTest, TextWritesANameLineThenTabIndentedEscapedPaths) {
    EXPECT_EQ(Printed(TOutputFormat::Text, TwoGroups), "a.txt\n"
                                                       "\t/t/a.txt\n"
                                                       "\t/t/s/b\n"
                                                       "c\\nd\n"
                                                       "\t/t/c\\nd\n"
                                                       "\t/t/e\\\\f\n");
}

TEST(CliResultPrinterTest, NullEndsEveryNameAndPathWithNulAndEveryGroupWithAnother) {
    EXPECT_EQ(Printed(TOutputFormat::Null, TwoGroups),
              "a.txt\0/t/a.txt\0/t/s/b\0\0c\nd\0/t/c\nd\0/t/e\\f\0\0"s);
}

TEST(CliResultPrinterTest, NoGroupsPrintNothing) {
    EXPECT_EQ(Printed(TOutputFormat::Text, {}), "");
    EXPECT_EQ(Printed(TOutputFormat::Null, {}), "");
}

TEST(CliResultPrinterTest, NullKeepsBytesThatAreNotUtf8) {
    EXPECT_EQ(Printed(TOutputFormat::Null, {{"\xff\t", true}, {"/\xff\t", false}}),
              "\xff\t\0/\xff\t\0\0"s);
}

} // namespace
