#include "_compearer/time_code_column.h"

#include <limits>

namespace parvex {

void TTimeCodeColumn::push_back(std::int64_t code) {
    const bool fits = code != kWide && code >= std::numeric_limits<std::int32_t>::min() &&
                      code <= std::numeric_limits<std::int32_t>::max();
    if (!fits)
        wide_[packed_.size()] = code;
    packed_.push_back(fits ? std::int32_t(code) : kWide);
}

void TTimeCodeColumn::MoveRow(std::size_t from, std::size_t to) {
    packed_[to] = packed_[from];
    wide_.MoveRow(from, to);
}

void TTimeCodeColumn::Truncate(std::size_t rows) {
    packed_.resize(rows);
    wide_.Truncate(rows);
}

void TTimeCodeColumn::Clear() {
    packed_.clear();
    wide_.Clear();
}

std::size_t TTimeCodeColumn::Bytes() const {
    return packed_.Bytes() + wide_.Bytes();
}

} // namespace parvex
