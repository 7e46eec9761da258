#pragma once

#include <cstdint>
#include <vector>

namespace parvex {

/// A set of file-table rows found again by a hash of their key (a path, a file id): an
/// open-addressing table of row numbers, eight bytes a slot, so it stays small beside the table.
/// The rows' keys stay in the table; a lookup checks them with the caller's equality.
/// Growing moves the rows into the larger table a few at each insertion rather than all at once,
/// so that no single insertion into a table of millions of rows takes long.
class TRowIndex {
public:
    /// What Find gives when no stored row matches.
    static constexpr std::uint32_t NotFound = UINT32_MAX;

    /// The stored row with this hash that `same(row)` accepts, or NotFound.
    template <class TSame> std::uint32_t Find(std::uint64_t hash, TSame same) const {
        const auto tag = std::uint32_t(hash);
        const std::uint32_t row = Probe(slots_, tag, same);
        return row != NotFound || old_.empty() ? row : Probe(old_, tag, same);
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
    template <class TSame>
    static std::uint32_t Probe(const std::vector<TSlot>& slots, std::uint32_t tag, TSame& same) {
        if (slots.empty())
            return NotFound;
        const std::size_t mask = slots.size() - 1;
        for (std::size_t at = tag & mask;; at = (at + 1) & mask) {
            const TSlot& slot = slots[at];
            if (slot.Row == NotFound)
                return NotFound;
            if (slot.Tag == tag && same(slot.Row))
                return slot.Row;
        }
    }
    void Grow();
    void MoveOldSlots(std::size_t count);
    void Place(const TSlot& slot);

    std::vector<TSlot> slots_;
    // The table before the last growth, while its rows are still being moved into slots_.
    std::vector<TSlot> old_;
    std::size_t moved_ = 0;
    std::size_t count_ = 0;
};

} // namespace parvex
