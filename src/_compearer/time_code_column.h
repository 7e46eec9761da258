#pragma once

#include "_compearer/chunked_column.h"
#include "_compearer/index_iterator.h"
#include "_compearer/sparse_rows.h"

#include <cstdint>

namespace parvex {

/// The time codes of the file table (FileTimeCode), one per row. A packed local time fits 32
/// bits and is stored so; the rare code of a time outside the packed range lives in a side
/// table, so every 64-bit code is kept exactly.
class TTimeCodeColumn : public TIndexedRows<TTimeCodeColumn, std::int64_t> {
public:
    /// Appends `code`.
    void push_back(std::int64_t code);
    /// Number of rows.
    std::size_t size() const { return packed_.size(); }
    /// The code of `row`.
    std::int64_t operator[](std::size_t row) const {
        const std::int32_t packed = packed_[row];
        return packed == kWide ? *wide_.Find(row) : packed;
    }
    /// Makes row `to` (at or before `from`) what row `from` is.
    void MoveRow(std::size_t from, std::size_t to);
    /// Keeps the first `rows` rows.
    void Truncate(std::size_t rows);
    /// Removes every row and frees the memory.
    void Clear();
    /// Bytes the column holds (capacities, not sizes).
    std::size_t Bytes() const;

private:
    // Never a packed word: its time of day would be hour 31, minute 63.
    static constexpr std::int32_t kWide = -1;
    TChunkedColumn<std::int32_t> packed_;
    TSparseRows<std::int64_t> wide_;
};

} // namespace parvex
