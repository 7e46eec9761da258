#pragma once

#include "_compearer/index_iterator.h"
#include "_compearer/path_column.h"

#include <string_view>

namespace parvex {

/// The names of the file table: a view of the names that its path column holds.
class TNameColumn : public TIndexedRows<TNameColumn, std::string_view> {
public:
    /// A view of the names of `paths`.
    explicit TNameColumn(const TPathColumn& paths) : paths_(paths) {}

    /// Number of rows.
    std::size_t size() const { return paths_.size(); }
    /// The name of `row`.
    std::string_view operator[](std::size_t row) const { return paths_.Name(row); }

private:
    const TPathColumn& paths_;
};

} // namespace parvex
