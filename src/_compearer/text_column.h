#pragma once

#include <deque>
#include <string>

namespace parvex {

/// A column of texts of the file table, one per row. A deque, so that growing it to millions of
/// rows adds blocks instead of moving every text to a larger array at once.
using TTextColumn = std::deque<std::string>;

} // namespace parvex
