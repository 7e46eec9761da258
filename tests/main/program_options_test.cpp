// The window program's command line: --help and --version are answered, anything else opens
// the window.
#include "main/program_options.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(ProgramRequestOf, AnswersHelpAndVersionAndLeavesTheRestToTheWindow) {
    const struct {
        QStringList arguments;
        TProgramRequest request;
    } cases[] = {
        {{}, TProgramRequest::Window},
        {{QStringLiteral("--help")}, TProgramRequest::Help},
        {{QStringLiteral("-h")}, TProgramRequest::Help},
        {{QStringLiteral("--version")}, TProgramRequest::Version},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen")}, TProgramRequest::Window},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--help")},
         TProgramRequest::Help},
        {{QStringLiteral("--helpful")}, TProgramRequest::Window},
        {{QStringLiteral("/home/user")}, TProgramRequest::Window},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramRequestOf(c.arguments), c.request)
            << c.arguments.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(ProgramHelpText, NamesTheOptionsAndTheFilesInUse) {
    const QString text = ProgramHelpText(QStringLiteral("/home/u/.config/parvex/parvex.set"),
                                         QStringLiteral("/usr/share/parvex/help"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("usage: parvex "))) << text.toStdString();
    for (const char* expected :
         {"--help", "-h", "--version", "settings    /home/u/.config/parvex/parvex.set\n",
          "help pages  /usr/share/parvex/help\n"}) {
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << " missing from:\n"
                                                            << text.toStdString();
    }
}

TEST(ProgramVersionText, IsTheProjectVersion) {
    EXPECT_EQ(ProgramVersionText(), QStringLiteral("parvex 1.1\n"));
}

} // namespace
} // namespace parvex
