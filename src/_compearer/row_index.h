#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace parvex {

/// A set of file-table rows found again by a hash of their key (a path, a file id): an
/// open-addressing table of row numbers, eight bytes a slot, so it stays small beside the table.
/// The rows' keys stay in the table; a lookup checks them with the caller's equality.
/// Growing never stops the search for long: the larger table comes zeroed from the system, so
/// its pages are touched as rows arrive, and the rows move into it a few at each insertion.
class TRowIndex {
public:
    /// What Find gives when no stored row matches.
    static constexpr std::uint32_t NotFound = UINT32_MAX;

    /// The stored row with this hash that `same(row)` accepts, or NotFound.
    template <class TSame> std::uint32_t Find(std::uint64_t hash, TSame same) const {
        const auto tag = std::uint32_t(hash);
        const std::uint32_t row = Probe(slots_, tag, same);
        return row != NotFound || !old_.Slots ? row : Probe(old_, tag, same);
    }
    /// Asks the processor to fetch the slot a lookup of `hash` starts at, ahead of the lookup:
    /// a large index is far beyond the caches, and its lookups go to random places.
    void Prefetch(std::uint64_t hash) const {
        if (slots_.Slots)
            __builtin_prefetch(&slots_.Slots[std::uint32_t(hash) & (slots_.Size - 1)]);
    }
    /// Stores `row` under `hash`.
    void Insert(std::uint64_t hash, std::uint32_t row);
    /// Forgets every row and gives the memory back.
    void Clear();

private:
    // A slot holds its row plus one, so that an all-zero slot is empty.
    struct TSlot {
        std::uint32_t RowPlusOne;
        std::uint32_t Tag;
    };
    struct TFree {
        void operator()(TSlot* slots) const { std::free(slots); }
    };
    struct TTable {
        std::unique_ptr<TSlot[], TFree> Slots;
        std::size_t Size = 0;
    };
    template <class TSame>
    static std::uint32_t Probe(const TTable& table, std::uint32_t tag, TSame& same) {
        if (!table.Slots)
            return NotFound;
        const std::size_t mask = table.Size - 1;
        for (std::size_t at = tag & mask;; at = (at + 1) & mask) {
            const TSlot& slot = table.Slots[at];
            if (slot.RowPlusOne == 0)
                return NotFound;
            if (slot.Tag == tag && same(slot.RowPlusOne - 1))
                return slot.RowPlusOne - 1;
        }
    }
    void Grow();
    void MoveOldSlots(std::size_t count);
    void Place(const TSlot& slot);

    TTable slots_;
    // The table before the last growth, while its rows are still being moved into slots_.
    TTable old_;
    std::size_t moved_ = 0;
    std::size_t count_ = 0;
};

} // namespace parvex
