#pragma once

#include "_compearer/content_memory.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace parvex {

/// One comparison pass's use of a TContentMemory: narrows each candidate set to the rows whose
/// bytes must be read, then widens the classes found among them to every row of the set they
/// stand for, and tells the memory what was found.
class TContentRecall {
public:
    /// Asks `memory` about every row of `rows`, the candidate sets' rows; `poll` runs while the
    /// answer is awaited.
    TContentRecall(TContentMemory& memory, std::span<const std::uint32_t> rows,
                   const std::function<void()>& poll);

    /// The rows of `set` (ascending) to read, ascending: the unknown rows with one row of every
    /// known class; without unknown rows only the known classes whose digests collide; none
    /// when what is known settles the set.
    void RowsToRead(std::span<const std::uint32_t> set, std::vector<std::uint32_t>& toRead) const;

    /// `classes` holds the classes found among `read` (the rows of `set` read, ascending);
    /// they become the classes of the whole set, each ascending, and the memory learns them.
    /// `unreadable` lists the rows of `read` that could not be read.
    void Complete(std::span<const std::uint32_t> set, std::span<const std::uint32_t> read,
                  std::span<const std::uint32_t> unreadable,
                  std::vector<std::vector<std::uint32_t>>& classes);

private:
    using TClassOfRow = std::pair<std::uint64_t, std::uint32_t>;
    const TKnownContent& KnownOf(std::uint32_t row) const;
    void Learn(std::span<const std::uint32_t> rows);
    void KnownClasses(std::span<const std::uint32_t> set, std::vector<TClassOfRow>& known) const;

    TContentMemory& memory_;
    std::vector<std::uint32_t> rows_; // ascending
    std::vector<TKnownContent> known_;
};

} // namespace parvex
