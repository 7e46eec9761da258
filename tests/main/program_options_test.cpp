// The window program's command line: --help and --version are answered, a FOLDER or RESULT,
// --start and the desktop actions are read from the arguments' bytes, and a bad command line
// is refused whole.
#include "main/program_options.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

std::string Shown(const std::vector<QByteArray>& arguments) {
    std::string text;
    for (const QByteArray& argument : arguments)
        text += "[" + argument.toStdString() + "]";
    return text;
}

TEST(ParseProgramArguments, ReadsTheRequestPathStartAndActionOrRefusesTheWholeLine) {
    using R = TProgramRequest;
    using A = TDesktopAction;
    const struct {
        std::vector<QByteArray> arguments;
        R request;
        QByteArray path;
        bool start;
        A action;
        const char* error; // the start of the message; empty for a good command line
    } cases[] = {
        {{}, R::Window, {}, false, A::None, ""},
        {{"--help"}, R::Help, {}, false, A::None, ""},
        {{"-h"}, R::Help, {}, false, A::None, ""},
        {{"--version"}, R::Version, {}, false, A::None, ""},
        {{"-platform", "offscreen", "--help"}, R::Help, {}, false, A::None, ""},
        {{"--bad", "--version"}, R::Version, {}, false, A::None, ""},
        {{"--", "--help"}, R::Window, "--help", false, A::None, ""},
        {{"/home/ana/Pictures"}, R::Window, "/home/ana/Pictures", false, A::None, ""},
        {{"caf\xe9/"}, R::Window, "caf\xe9/", false, A::None, ""},
        {{"--start", "/home/ana"}, R::Window, "/home/ana", true, A::None, ""},
        {{"/home/ana", "--start"}, R::Window, "/home/ana", true, A::None, ""},
        {{"r.parvex.json"}, R::Window, "r.parvex.json", false, A::None, ""},
        {{"-"}, R::Window, "-", false, A::None, ""},
        {{"--", "-x"}, R::Window, "-x", false, A::None, ""},
        {{"--new-search"}, R::Window, {}, false, A::NewSearch, ""},
        {{"--open-result"}, R::Window, {}, false, A::OpenResult, ""},
        {{"--helpful"}, R::Window, {}, false, A::None, "unknown option \"--helpful\""},
        {{"--start"}, R::Window, {}, false, A::None, "--start needs a FOLDER"},
        {{"a", "b"}, R::Window, {}, false, A::None, "too many arguments: \"b\""},
        {{""}, R::Window, {}, false, A::None, "the FOLDER or RESULT is an empty text"},
        {{"--new-search", "/home"}, R::Window, {}, false, A::None, "--new-search takes no other"},
        {{"--open-result", "--start", "/x"},
         R::Window,
         {},
         false,
         A::None,
         "--open-result takes no other"},
        {{"--new-search", "--open-result"}, R::Window, {}, false, A::None, "only one of"},
    };
    for (const auto& c : cases) {
        const TProgramCommand command = ParseProgramArguments(c.arguments);
        const std::string seen = Shown(c.arguments);
        EXPECT_EQ(command.Request, c.request) << seen;
        EXPECT_EQ(command.Path, c.path) << seen;
        EXPECT_EQ(command.StartSearch, c.start) << seen;
        EXPECT_EQ(command.Action, c.action) << seen;
        EXPECT_TRUE(*c.error == '\0' ? command.Error.isEmpty()
                                     : command.Error.startsWith(QLatin1String(c.error)))
            << seen << " gave the error \"" << command.Error.toStdString() << "\"";
    }
}

TEST(ProgramHelpText, NamesTheArgumentsOptionsAndTheFilesInUse) {
    const QString text = ProgramHelpText(QStringLiteral("/home/u/.config/parvex/parvex.set"),
                                         QStringLiteral("/usr/share/parvex/help"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("usage: parvex [--start] [FOLDER | RESULT]\n")))
        << text.toStdString();
    for (const char* expected :
         {"--help", "-h", "--version", "--start", "--new-search", "--open-result", "  FOLDER ",
          "  RESULT ", "settings    /home/u/.config/parvex/parvex.set\n",
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
