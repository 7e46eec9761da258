#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace parvex {

/// What the command line of the window program asks for.
enum class TProgramRequest { Window, Help, Version };

/// A desktop action that the window carries out once it is shown.
enum class TDesktopAction { None, NewSearch, OpenResult };

/// The window program's command line, read from the exact bytes of its arguments.
struct TProgramCommand {
    TProgramRequest Request = TProgramRequest::Window;
    /// The FOLDER to start at or the RESULT to open, in exact bytes; empty when none was given.
    QByteArray Path;
    /// --start: the FOLDER is searched at once.
    bool StartSearch = false;
    TDesktopAction Action = TDesktopAction::None;
    /// What is wrong with a bad command line, which asks for nothing else then; empty when
    /// the command line is good.
    QString Error;
};

/// Reads the arguments after the program's name, Qt's own options taken out. "--help" (or
/// "-h") and "--version" are answered wherever they stand before "--", whatever else is there.
TProgramCommand ParseProgramArguments(const std::vector<QByteArray>& arguments);

/// The usage text: the options, and the settings file and help folder this program uses.
QString ProgramHelpText(const QString& settingsFile, const QString& helpFolder);

/// The version line: "parvex 1.1".
QString ProgramVersionText();

/// Answers --help and --version on standard output before any window exists (so without a
/// display); returns whether it did, in which case the program ends with status 0.
bool AnswerInformationRequest(int argc, char** argv);

/// The exact bytes of the arguments after the program's name.
std::vector<QByteArray> ArgumentBytes(int argc, char** argv);

} // namespace parvex
