#pragma once

#include <cstddef>
#include <iterator>

namespace parvex {

/// A forward iterator over a column that hands out its rows by value through operator[]:
/// lets a column of packed rows be walked with range-for and copied into a std::vector.
template <class TColumn, class TValue> class TIndexIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TValue;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = TValue;

    TIndexIterator() = default;
    TIndexIterator(const TColumn& column, std::size_t row) : column_(&column), row_(row) {}

    TValue operator*() const { return (*column_)[row_]; }
    TIndexIterator& operator++() {
        ++row_;
        return *this;
    }
    TIndexIterator operator++(int) {
        TIndexIterator before = *this;
        ++row_;
        return before;
    }
    friend bool operator==(const TIndexIterator& a, const TIndexIterator& b) {
        return a.row_ == b.row_;
    }

private:
    const TColumn* column_ = nullptr;
    std::size_t row_ = 0;
};

} // namespace parvex

namespace parvex {

/// Base of a column that hands out its rows by value: gives it begin, end and empty from its
/// size() and operator[].
template <class TColumn, class TValue> class TIndexedRows {
public:
    using value_type = TValue;
    using const_iterator = TIndexIterator<TColumn, TValue>;

    /// True when the column holds no row.
    bool empty() const { return Self().size() == 0; }
    const_iterator begin() const { return {Self(), 0}; }
    const_iterator end() const { return {Self(), Self().size()}; }

private:
    const TColumn& Self() const { return static_cast<const TColumn&>(*this); }
};

} // namespace parvex
