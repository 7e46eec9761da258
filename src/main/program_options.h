#pragma once

#include <QString>
#include <QStringList>

namespace parvex {

/// What the command line of the window program asks for.
enum class TProgramRequest { Window, Help, Version };

/// Reads the arguments after the program's name: "--help" or "-h" asks for the usage text,
/// "--version" for the version; anything else (Qt's own options included) opens the window.
TProgramRequest ProgramRequestOf(const QStringList& arguments);

/// The usage text: the options, and the settings file and help folder this program uses.
QString ProgramHelpText(const QString& settingsFile, const QString& helpFolder);

/// The version line: "parvex 1.1".
QString ProgramVersionText();

/// Answers --help and --version on standard output before any window exists (so without a
/// display); returns whether it did, in which case the program ends with status 0.
bool AnswerInformationRequest(int argc, char** argv);

} // namespace parvex
