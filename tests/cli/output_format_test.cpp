// The names --format accepts.

#include "cli/output_format.h"

#include <gtest/gtest.h>

namespace {

using parvex::OutputFormatNamed;
using parvex::TOutputFormat;

TEST(CliOutputFormatTest, KnowsTextNullAndJsonExactly) {
    EXPECT_EQ(OutputFormatNamed("text"), TOutputFormat::Text);
    EXPECT_EQ(OutputFormatNamed("null"), TOutputFormat::Null);
    EXPECT_EQ(OutputFormatNamed("json"), TOutputFormat::Json);
    for (const char* name : {"", "TEXT", "Null", "JSON", "nul", "text ", "0"})
        EXPECT_EQ(OutputFormatNamed(name), std::nullopt) << "[" << name << "]";
}

} // namespace
