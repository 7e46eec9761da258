#include "main/byte_store.h"

#include <algorithm>
#include <cstring>

namespace parvex {

TByteStore::TPlace TByteStore::Append(QByteArrayView bytes) {
    const auto length = static_cast<std::size_t>(bytes.size());
    if (chunks_.empty() || capacity_ - used_ < length) {
        capacity_ = std::max(kChunkSize, length);
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
        used_ = 0;
    }
    if (length > 0)
        std::memcpy(chunks_.back().get() + used_, bytes.data(), length);
    const TPlace place = (static_cast<TPlace>(chunks_.size() - 1) << 32) | used_;
    used_ += length;
    return place;
}

QByteArrayView TByteStore::View(TPlace place, std::uint32_t length) const {
    return {chunks_[static_cast<std::size_t>(place >> 32)].get() + (place & 0xFFFFFFFFu),
            static_cast<qsizetype>(length)};
}

} // namespace parvex
