#pragma once

#include "_compearer/sparse_rows.h"

#include <cstdint>
#include <string>
#include <vector>

namespace parvex {

/// What the file table knows about the names of each row's file: how many of them the scan
/// found, the file's link count, and the names found besides the row's own path. Nearly every
/// file has one name and one link, so only the rows that differ carry an entry.
class TLinkTable {
public:
    /// Notes the link count of the file of the row just added as `row`.
    void AddRow(std::size_t row, std::uint32_t linkCount);
    /// How many names of the row's file the scan found (the row's own included).
    std::uint32_t NamesFound(std::size_t row) const;
    /// The file's link count (st_nlink) when it was collected.
    std::uint32_t LinkCount(std::size_t row) const;
    /// The other names of the row's file, in the order they were found.
    const std::vector<std::string>& OtherNames(std::size_t row) const;
    /// Keeps `path` as another name of the row's file, unless it is one already; true when kept.
    bool AddOtherName(std::size_t row, std::string path);
    /// Makes row `to` (at or before `from`) what row `from` is.
    void MoveRow(std::size_t from, std::size_t to) { entries_.MoveRow(from, to); }
    /// Keeps the first `rows` rows.
    void Truncate(std::size_t rows) { entries_.Truncate(rows); }
    /// Removes every row and frees the memory.
    void Clear() { entries_.Clear(); }
    /// Bytes the table holds, the other names' texts included.
    std::size_t Bytes() const;

private:
    struct TEntry {
        std::uint32_t NamesFound = 1;
        std::uint32_t LinkCount = 1;
        std::vector<std::string> OtherNames;
    };
    TSparseRows<TEntry> entries_;
};

} // namespace parvex
