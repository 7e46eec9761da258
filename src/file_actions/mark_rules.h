#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parvex {

/// Which copy of a group a keep-one rule leaves unmarked.
enum class TKeepRule { Newest, Oldest, ShortestPath, FirstFound };

/// One file of a group as the marking rules see it.
struct TMarkable {
    /// The modification moment, in an order that compares as time does.
    std::int64_t Moment = 0;
    /// The length of the path in bytes.
    std::size_t PathLength = 0;
    /// The file's place in the order the search reported the group's files.
    std::uint32_t FoundRank = 0;
    /// Under a protected folder: never marked by a rule.
    bool Protected = false;
    bool Marked = false;
};

/// The place in `files` of the copy `rule` keeps; ties go to the one found first.
std::size_t KeptByRule(const std::vector<TMarkable>& files, TKeepRule rule);

/// Marks every file but the one `rule` keeps, leaving protected files unmarked. True when the
/// first copy found had to stay unmarked so that not every copy is marked.
bool MarkAllButOne(std::vector<TMarkable>& files, TKeepRule rule);

/// Adds a mark to every unprotected file whose place `covered` holds true; true as for
/// MarkAllButOne.
bool MarkCovered(std::vector<TMarkable>& files, const std::vector<bool>& covered);

/// Marks the unmarked files and unmarks the marked ones, protected files staying unmarked;
/// true as for MarkAllButOne.
bool InvertMarks(std::vector<TMarkable>& files);

/// When every file is marked, unmarks the one found first; true when it did.
bool KeepOneUnmarked(std::vector<TMarkable>& files);

} // namespace parvex
