#pragma once

#include "_compearer/compare_keys.h"
#include "cli/output_format.h"

#include <optional>
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
    std::string StartFolder; // normalized: trimmed, ending in "/"
    std::string MaskList = "*.*";
    std::optional<TCompareKeys> Keys;         // none given: the engine keeps its construction keys
    std::vector<std::string> ExcludedFolders; // each ending in "/"
    TOutputFormat Format = TOutputFormat::Text;
    bool Quiet = false; // no line for a file or folder that could not be read
    bool ShowStats = false;
    bool ShowHelp = false;

    /// The engine's SearchSpec: the start folder followed by the mask list.
    std::string SearchSpec() const { return StartFolder + MaskList; }
};

/// Parses the arguments after the program name; throws ECliUsageError for a bad command line.
TCliOptions ParseCliArguments(const std::vector<std::string>& args);

/// The text that --help prints.
const char* CliUsageText();

} // namespace parvex
