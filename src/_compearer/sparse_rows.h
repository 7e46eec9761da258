#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace parvex {

/// Values that only a few rows of the file table carry, kept by row beside the packed
/// columns, and moved with their rows when rows leave the table.
template <class TValue> class TSparseRows {
public:
    /// The value of `row`, or nullptr when the row carries none.
    const TValue* Find(std::size_t row) const {
        const auto at = values_.find(std::uint32_t(row));
        return at == values_.end() ? nullptr : &at->second;
    }
    /// The value of `row`, made (value-initialised) when the row carried none.
    TValue& operator[](std::size_t row) { return values_[std::uint32_t(row)]; }
    /// Makes row `to` carry what row `from` carries (perhaps nothing); `from` carries nothing.
    void MoveRow(std::size_t from, std::size_t to) {
        if (values_.empty())
            return;
        const auto at = values_.find(std::uint32_t(from));
        if (at == values_.end()) {
            values_.erase(std::uint32_t(to));
            return;
        }
        TValue value = std::move(at->second);
        values_.erase(at);
        values_.insert_or_assign(std::uint32_t(to), std::move(value));
    }
    /// Forgets the values of the rows from `rows` on.
    void Truncate(std::size_t rows) {
        std::erase_if(values_, [rows](const auto& entry) { return entry.first >= rows; });
    }
    /// Forgets every value and frees the memory.
    void Clear() { std::unordered_map<std::uint32_t, TValue>().swap(values_); }
    /// Number of rows that carry a value.
    std::size_t size() const { return values_.size(); }
    /// Bytes of the table itself, without what the values hold elsewhere.
    std::size_t Bytes() const {
        // A node: the link to the next, the key and the value, and the cached hash.
        constexpr std::size_t kNodeBytes =
            2 * sizeof(void*) + sizeof(std::pair<const std::uint32_t, TValue>);
        return values_.size() * kNodeBytes + values_.bucket_count() * sizeof(void*);
    }
    /// The rows and their values, in no order.
    const std::unordered_map<std::uint32_t, TValue>& Entries() const { return values_; }

private:
    std::unordered_map<std::uint32_t, TValue> values_;
};

} // namespace parvex
