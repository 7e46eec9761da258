#pragma once

#include "_compearer/chunked_column.h"
#include "_compearer/index_iterator.h"
#include "platform/file_id.h"

#include <cstdint>
#include <vector>

namespace parvex {

/// The file ids of the file table, one per row: the inode as it is, the device as an index
/// into the few distinct devices a search meets.
class TFileIdColumn : public TIndexedRows<TFileIdColumn, TFileId> {
public:
    /// Appends `id`.
    void push_back(const TFileId& id);
    /// Number of rows.
    std::size_t size() const { return inodes_.size(); }
    /// The id of `row`.
    TFileId operator[](std::size_t row) const { return {devices_[deviceOf_[row]], inodes_[row]}; }
    /// Makes row `to` (at or before `from`) what row `from` is.
    void MoveRow(std::size_t from, std::size_t to);
    /// Keeps the first `rows` rows.
    void Truncate(std::size_t rows);
    /// Removes every row and frees the memory.
    void Clear();
    /// Bytes the column holds (capacities, not sizes).
    std::size_t Bytes() const;

private:
    std::uint32_t DeviceIndex(std::uint64_t device);

    std::vector<std::uint64_t> devices_;
    std::uint32_t lastDevice_ = 0;
    TChunkedColumn<std::uint32_t> deviceOf_;
    TChunkedColumn<std::uint64_t> inodes_;
};

} // namespace parvex
