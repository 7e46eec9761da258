#include "_compearer/row_index.h"

namespace parvex {

void TRowIndex::Insert(std::uint64_t hash, std::uint32_t row) {
    // At most half full, so a probe ends soon.
    if ((count_ + 1) * 2 > slots_.size())
        Grow();
    const auto tag = std::uint32_t(hash);
    std::size_t at = tag & mask_;
    while (slots_[at].Row != NotFound)
        at = (at + 1) & mask_;
    slots_[at] = {row, tag};
    ++count_;
}

void TRowIndex::Clear() {
    slots_ = {};
    mask_ = 0;
    count_ = 0;
}

void TRowIndex::Grow() {
    std::vector<TSlot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, TSlot{});
    mask_ = slots_.size() - 1;
    for (const TSlot& slot : old) {
        if (slot.Row == NotFound)
            continue;
        std::size_t at = slot.Tag & mask_;
        while (slots_[at].Row != NotFound)
            at = (at + 1) & mask_;
        slots_[at] = slot;
    }
}

} // namespace parvex
