#include "main/program_options.h"

#include "dialogs/help_topic.h"
#include "platform/executable_path.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace parvex {

namespace {

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString Quoted(const QByteArray& argument) {
    return QLatin1Char('"') + QFile::decodeName(argument) + QLatin1Char('"');
}

// --help and --version before "--", the first of them winning.
TProgramRequest InformationRequestOf(const std::vector<QByteArray>& arguments) {
    for (const QByteArray& argument : arguments) {
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h")
            return TProgramRequest::Help;
        if (argument == "--version")
            return TProgramRequest::Version;
    }
    return TProgramRequest::Window;
}

const char* ActionOption(TDesktopAction action) {
    return action == TDesktopAction::NewSearch ? "--new-search" : "--open-result";
}

// What is wrong with the arguments, or an empty text; fills `command` as it goes.
QString ReadArguments(const std::vector<QByteArray>& arguments, TProgramCommand& command) {
    std::vector<QByteArray> paths;
    bool optionsEnded = false;
    for (const QByteArray& argument : arguments) {
        if (optionsEnded || argument.size() < 2 || !argument.startsWith('-')) {
            paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--start") {
            command.StartSearch = true;
        } else if (argument == "--new-search" || argument == "--open-result") {
            const TDesktopAction action =
                argument == "--new-search" ? TDesktopAction::NewSearch : TDesktopAction::OpenResult;
            if (command.Action != TDesktopAction::None && command.Action != action)
                return QStringLiteral("only one of --new-search and --open-result may be given");
            command.Action = action;
        } else {
            return QStringLiteral("unknown option %1 (see --help)").arg(Quoted(argument));
        }
    }
    if (paths.size() > 1)
        return QStringLiteral("too many arguments: %1 (one FOLDER or RESULT at most)")
            .arg(Quoted(paths[1]));
    if (!paths.empty() && paths[0].isEmpty())
        return QStringLiteral("the FOLDER or RESULT is an empty text");
    if (!paths.empty())
        command.Path = paths[0];
    if (command.Action != TDesktopAction::None && (command.StartSearch || !paths.empty()))
        return QStringLiteral("%1 takes no other argument")
            .arg(QLatin1String(ActionOption(command.Action)));
    if (command.StartSearch && paths.empty())
        return QStringLiteral("--start needs a FOLDER to search");
    return {};
}

} // namespace

TProgramCommand ParseProgramArguments(const std::vector<QByteArray>& arguments) {
    TProgramCommand command;
    command.Request = InformationRequestOf(arguments);
    if (command.Request != TProgramRequest::Window)
        return command;
    const QString error = ReadArguments(arguments, command);
    if (!error.isEmpty()) {
        // A bad command line asks for nothing: the window opens as without arguments.
        command = TProgramCommand();
        command.Error = error;
    }
    return command;
}

QString ProgramHelpText(const QString& settingsFile, const QString& helpFolder) {
    return QStringLiteral(
               "usage: parvex [--start] [FOLDER | RESULT]\n"
               "       parvex --new-search | --open-result | --help | --version\n"
               "\n"
               "Opens the Parvex window: it finds identical files below a start folder and lets\n"
               "you open, move or trash the copies. Qt's own options, such as -platform NAME,\n"
               "are accepted as well.\n"
               "\n"
               "  FOLDER         the folder to search, shown as the start folder\n"
               "  RESULT         a saved result to show, as File > Open result does: a\n"
               "                 *.parvex.json file, or the JSON document of parvex-cli\n"
               "  --start        search FOLDER at once\n"
               "  --new-search   open the window ready for the start folder to be typed\n"
               "  --open-result  open the window and ask for a saved result to show\n"
               "  --help, -h     show this text and exit\n"
               "  --version      show the version and exit\n"
               "\n"
               "A bad command line is reported, and the window opens as without arguments.\n"
               "\n"
               "Files:\n"
               "  settings    %1\n"
               "  help pages  %2\n")
        .arg(settingsFile, helpFolder);
}

QString ProgramVersionText() {
    return QStringLiteral("parvex " PARVEX_VERSION "\n");
}

std::vector<QByteArray> ArgumentBytes(int argc, char** argv) {
    std::vector<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

bool AnswerInformationRequest(int argc, char** argv) {
    QString text;
    switch (InformationRequestOf(ArgumentBytes(argc, argv))) {
    case TProgramRequest::Window:
        return false;
    case TProgramRequest::Version:
        text = ProgramVersionText();
        break;
    case TProgramRequest::Help: {
        // The same answers the window finds at start; naming the settings file creates nothing.
        const std::string executable = ExecutablePath();
        text = ProgramHelpText(
            Decoded(SettingsFileNameFor(executable, UserConfigHome())),
            LocateDocs(QDir::currentPath(), InstalledDocsDir(Decoded(FolderOf(executable)))));
        break;
    }
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    return true;
}

} // namespace parvex
