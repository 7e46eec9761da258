#pragma once

#include "_compearer/compare_keys.h"
#include "cli/output_format.h"
#include "file_actions/file_action.h"
#include "file_actions/keep_rules.h"

#include <cstdint>
#include <limits>
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
    std::int64_t MinSize = 0; // smallest file size collected, included
    std::int64_t MaxSize = std::numeric_limits<std::int64_t>::max(); // largest, included
    bool Hidden = true;      // collect names starting with "." and enter such folders
    bool ReadOnly = true;    // collect files without the owner's write permission
    int Threads = 0;         // the engine's worker threads; 0 lets it choose by the devices read
    bool PlainReads = false; // one system call per read, never batched through io_uring
    bool Quiet = false;      // no line for a file or folder that could not be read
    bool ShowStats = false;
    bool UseStore = true; // read and write the comparison store
    bool ShowHelp = false;
    bool ShowVersion = false;
    // Acting on the copies found; the other action options need one of these.
    std::optional<TActionKind> Action;
    std::string MoveFolder;                    // --move-to
    std::vector<TKeepRule> KeepRules;          // in the order given; none given: "first"
    std::vector<std::string> ProtectedFolders; // --protect, beside those of the settings
    bool DryRun = false;
    std::string FromFile; // act on this saved result instead of searching
    // Undoing a run: --undo (the newest run not undone: an empty id) or --undo=ID; --list-runs.
    std::optional<std::string> UndoRun;
    bool ListRuns = false;

    /// The engine's SearchSpec: the start folder followed by the mask list.
    std::string SearchSpec() const { return StartFolder + MaskList; }
};

/// The largest number of threads --threads accepts.
inline constexpr int MaxCliThreads = 1024;

/// Parses the arguments after the program name; throws ECliUsageError for a bad command line.
TCliOptions ParseCliArguments(const std::vector<std::string>& args);

/// The text that --help prints.
const char* CliUsageText();

/// The line that --version prints: "parvex-cli 1.1".
const char* CliVersionText();

} // namespace parvex
