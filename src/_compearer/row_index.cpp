#include "_compearer/row_index.h"

#include <algorithm>
#include <new>

namespace parvex {

namespace {

// Old slots moved at each insertion: the old table has twice as many slots as the new one has
// room for insertions before it is half full, so two would do; more finish the move early.
constexpr std::size_t kSlotsMovedPerInsert = 8;

} // namespace

void TRowIndex::Insert(std::uint64_t hash, std::uint32_t row) {
    MoveOldSlots(kSlotsMovedPerInsert);
    // At most half full, so a probe ends soon.
    if ((count_ + 1) * 2 > slots_.Size)
        Grow();
    Place({row + 1, std::uint32_t(hash)});
    ++count_;
}

void TRowIndex::Clear() {
    slots_ = {};
    old_ = {};
    moved_ = 0;
    count_ = 0;
}

void TRowIndex::Grow() {
    MoveOldSlots(old_.Size);
    old_ = std::move(slots_);
    moved_ = 0;
    const std::size_t size = old_.Slots ? old_.Size * 2 : 64;
    // calloc takes a large block zeroed from the system without writing it.
    slots_.Slots.reset(static_cast<TSlot*>(std::calloc(size, sizeof(TSlot))));
    if (!slots_.Slots)
        throw std::bad_alloc();
    slots_.Size = size;
}

void TRowIndex::MoveOldSlots(std::size_t count) {
    if (!old_.Slots)
        return;
    for (const std::size_t end = std::min(old_.Size, moved_ + count); moved_ < end; ++moved_) {
        if (old_.Slots[moved_].RowPlusOne != 0)
            Place(old_.Slots[moved_]);
    }
    if (moved_ == old_.Size)
        old_ = {};
}

void TRowIndex::Place(const TSlot& slot) {
    const std::size_t mask = slots_.Size - 1;
    std::size_t at = slot.Tag & mask;
    while (slots_.Slots[at].RowPlusOne != 0)
        at = (at + 1) & mask;
    slots_.Slots[at] = slot;
}

} // namespace parvex
