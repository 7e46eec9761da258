#pragma once

#include "_compearer/index_iterator.h"

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace parvex {

/// A column of plain values stored in blocks of a fixed number of elements. Growing adds a
/// block and never copies the values already stored, so a column of millions of rows grows
/// without a pause; shrinking frees the blocks past the end. 4096 elements a block: the last
/// block, partly filled, wastes little, and a million rows need only 245 blocks.
template <class T, std::size_t BlockBits = 12>
class TChunkedColumn : public TIndexedRows<TChunkedColumn<T, BlockBits>, T> {
    static_assert(std::is_trivially_copyable_v<T>, "the blocks are left uninitialised");

public:
    /// Elements in one block.
    static constexpr std::size_t BlockSize = std::size_t(1) << BlockBits;
    TChunkedColumn() = default;
    TChunkedColumn(TChunkedColumn&&) noexcept = default;
    TChunkedColumn& operator=(TChunkedColumn&&) noexcept = default;

    /// Number of elements.
    std::size_t size() const { return size_; }
    /// The element of `row`.
    const T& operator[](std::size_t row) const {
        return blocks_[row >> BlockBits][row & (BlockSize - 1)];
    }
    /// The element of `row`, to change.
    T& operator[](std::size_t row) { return blocks_[row >> BlockBits][row & (BlockSize - 1)]; }
    /// Appends `value`.
    void push_back(const T& value) {
        if (size_ == blocks_.size() * BlockSize)
            // Not value-initialised: a block's pages are touched only as rows arrive.
            blocks_.push_back(std::unique_ptr<T[]>(new T[BlockSize]));
        (*this)[size_++] = value;
    }
    /// Makes the column `rows` long; new elements get `value`, blocks past the end are freed.
    void resize(std::size_t rows, const T& value = T()) {
        while (size_ < rows)
            push_back(value);
        size_ = rows;
        blocks_.resize((rows + BlockSize - 1) >> BlockBits);
    }
    /// Removes every element and frees the blocks.
    void clear() {
        std::vector<std::unique_ptr<T[]>>().swap(blocks_);
        size_ = 0;
    }
    /// Bytes the column holds: its blocks and the list of them.
    std::size_t Bytes() const {
        return blocks_.size() * BlockSize * sizeof(T) + blocks_.capacity() * sizeof(blocks_[0]);
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};

} // namespace parvex
