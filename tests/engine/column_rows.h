#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace parvex::testing {

/// The rows of a file-table column as a vector, names as strings, so a test compares whole
/// columns and a failure prints them.
template <class TColumn> auto ColumnRows(const TColumn& column) {
    using TRow = typename TColumn::value_type;
    using TValue = std::conditional_t<std::is_same_v<TRow, std::string_view>, std::string, TRow>;
    return std::vector<TValue>(column.begin(), column.end());
}

} // namespace parvex::testing
