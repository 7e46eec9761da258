#pragma once

#include "_compearer/compearer_core.h"

#include <string>
#include <vector>

namespace parvex::testing {

/// Records a core's events as lines of text, so a test compares whole sequences.
class TEventLog {
public:
    /// Installs every event slot of core; folder checks consult `excluded`.
    void Attach(TCompearerCore& core);
    /// Attaches to `core` and runs a whole search of `spec`.
    void Search(TCompearerCore& core, const std::string& spec);
    /// The lines, each followed by a newline, as one text.
    static std::string Joined(const std::vector<std::string>& lines);

    /// Folders (full paths) that OnCheckFolder answers as not allowed.
    std::vector<std::string> Excluded;
    /// "start", "check <path>", "group <text>", "file <text>", "skipped <path>: <reason>",
    /// "complete", "interrupted".
    std::vector<std::string> Lines;
    /// The OnFileFound lines only.
    std::vector<std::string> Found() const;
    /// The OnSkipped lines only.
    std::vector<std::string> Skipped() const;
};

} // namespace parvex::testing
