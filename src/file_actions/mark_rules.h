#pragma once

#include "file_actions/action_plan.h"

#include <cstdint>
#include <vector>

namespace parvex {

/// One file of a group as the marking commands see it.
struct TMarkable {
    /// The file's place in the order the search reported the group's files.
    std::uint32_t FoundRank = 0;
    /// Under a protected folder, or not as found: never marked by a command.
    bool Protected = false;
    bool Marked = false;
};

/// Marks the files that `plan` acts on and unmarks the others, protected files staying
/// unmarked: the plan was made for the same group, its files in found order. True as for
/// KeepOneUnmarked.
bool MarkAsPlanned(std::vector<TMarkable>& files, const TPlanGroup& plan);

/// Adds a mark to every unprotected file whose place `covered` holds true; true as for
/// KeepOneUnmarked.
bool MarkCovered(std::vector<TMarkable>& files, const std::vector<bool>& covered);

/// Marks the unmarked files and unmarks the marked ones, protected files staying unmarked;
/// true as for KeepOneUnmarked.
bool InvertMarks(std::vector<TMarkable>& files);

/// When every file is marked, unmarks the one found first; true when it did.
bool KeepOneUnmarked(std::vector<TMarkable>& files);

} // namespace parvex
