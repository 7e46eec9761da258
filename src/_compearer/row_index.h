#pragma once

#include <cstdint>
#include <vector>

namespace parvex {

/// A set of file-table rows found again by a hash of their key (a path, a file id): an
/// open-addressing table of row numbers, eight bytes a slot, so it stays small beside the table.
/// The rows' keys stay in the table; a lookup checks them with the caller's equality.
class TRowIndex {
public:
    /// What Find gives when no stored row matches.
    static constexpr std::uint32_t NotFound = UINT32_MAX;

    /// The stored row with this hash that `same(row)` accepts, or NotFound.
    template <class TSame> std::uint32_t Find(std::uint64_t hash, TSame same) const {
        if (slots_.empty())
            return NotFound;
        const auto tag = std::uint32_t(hash);
        for (std::size_t at = tag & mask_;; at = (at + 1) & mask_) {
            const TSlot& slot = slots_[at];
            if (slot.Row == NotFound)
                return NotFound;
            if (slot.Tag == tag && same(slot.Row))
                return slot.Row;
        }
    }
    /// Stores `row` under `hash`.
    void Insert(std::uint64_t hash, std::uint32_t row);
    /// Forgets every row and gives the memory back.
    void Clear();

private:
    struct TSlot {
        std::uint32_t Row = NotFound;
        std::uint32_t Tag = 0;
    };
    void Grow();

    std::vector<TSlot> slots_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

} // namespace parvex
