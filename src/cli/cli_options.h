#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace parvex {

/// A command line that parvex-cli cannot run; its message is the one line shown on stderr.
class ECliUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// What one parvex-cli command line asks for.
struct TCliOptions {
    std::string StartFolder; // normalised: trimmed, ending in "/"
    std::string MaskList = "*.*";
    bool KeysGiven = false; // false: the engine keeps its construction keys
    bool CompareName = false;
    bool CompareSize = false;
    bool CompareTime = false;
    bool CompareContent = false;
    std::vector<std::string> ExcludedFolders; // each ending in "/"
    bool ShowStats = false;
    bool ShowHelp = false;

    /// The engine's SearchSpec: the start folder followed by the mask list.
    std::string SearchSpec() const { return StartFolder + MaskList; }
};

/// Parses the arguments after the program name; throws ECliUsageError for a bad command line.
TCliOptions ParseCliArguments(const std::vector<std::string>& args);

/// Trims blanks and control characters at both ends and makes the folder end in "/".
std::string NormaliseStartFolder(const std::string& folder);

/// The folder with a trailing "/" added unless it already ends in one.
std::string WithTrailingSeparator(std::string folder);

/// The text that --help prints.
const char* CliUsageText();

} // namespace parvex
