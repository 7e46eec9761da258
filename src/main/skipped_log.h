#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace parvex {

/// One file or folder that a search could not read, and the system's reason.
struct TSkippedEntry {
    std::string Path;
    std::string Reason;
};

/// What the last search could not read: every entry counted, the first ones kept for the list.
class TSkippedLog {
public:
    /// How many entries are kept for the list; the count goes on past them.
    static constexpr std::size_t KeptEntries = 1000;

    /// Forgets everything (a new search begins).
    void Clear();
    /// Counts one entry, keeping it while fewer than KeptEntries are kept.
    void Add(const std::string& Path, const std::string& Reason);
    /// How many entries were added since the last Clear.
    std::size_t Count() const { return count_; }
    /// The first entries added, at most KeptEntries, in the order they came.
    const std::vector<TSkippedEntry>& Entries() const { return entries_; }

private:
    std::size_t count_ = 0;
    std::vector<TSkippedEntry> entries_;
};

} // namespace parvex
