#include "_compearer/row_index.h"

#include <algorithm>

namespace parvex {

namespace {

// Old slots moved at each insertion: the old table has twice as many slots as the new one has
// room for insertions before it is half full, so two would do; more finish the move early.
constexpr std::size_t kSlotsMovedPerInsert = 8;

} // namespace

void TRowIndex::Insert(std::uint64_t hash, std::uint32_t row) {
    MoveOldSlots(kSlotsMovedPerInsert);
    // At most half full, so a probe ends soon.
    if ((count_ + 1) * 2 > slots_.size())
        Grow();
    Place({row, std::uint32_t(hash)});
    ++count_;
}

void TRowIndex::Clear() {
    slots_ = {};
    old_ = {};
    moved_ = 0;
    count_ = 0;
}

void TRowIndex::Grow() {
    MoveOldSlots(old_.size());
    old_ = std::move(slots_);
    moved_ = 0;
    slots_.assign(old_.empty() ? 64 : old_.size() * 2, TSlot{});
}

void TRowIndex::MoveOldSlots(std::size_t count) {
    if (old_.empty())
        return;
    for (const std::size_t end = std::min(old_.size(), moved_ + count); moved_ < end; ++moved_) {
        if (old_[moved_].Row != NotFound)
            Place(old_[moved_]);
    }
    if (moved_ == old_.size())
        old_ = {};
}

void TRowIndex::Place(const TSlot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = slot.Tag & mask;
    while (slots_[at].Row != NotFound)
        at = (at + 1) & mask;
    slots_[at] = slot;
}

} // namespace parvex
