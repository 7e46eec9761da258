#pragma once

#include "_compearer/chunked_column.h"
#include "_compearer/index_iterator.h"
#include "_compearer/text_arena.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace parvex {

/// The paths of the file table, one per row, each kept as its folder and its name: a folder is
/// stored once however many rows it has, a name in a packed arena. A path is handed out as the
/// exact bytes of folder and name joined.
class TPathColumn : public TIndexedRows<TPathColumn, std::string> {
public:
    /// Appends the row of `name` in `folder` (a folder path ending in "/", or empty).
    void Add(std::string_view folder, std::string_view name);
    /// Number of rows.
    std::size_t size() const { return folderOf_.size(); }
    /// The path of `row`: its folder followed by its name.
    std::string operator[](std::size_t row) const;
    /// Sets `path` to the path of `row`, reusing the memory it has.
    void CopyPath(std::size_t row, std::string& path) const;
    /// The folder of `row`, ending in "/" (or empty).
    const std::string& Folder(std::size_t row) const { return folders_[folderOf_[row]]; }
    /// The name of `row`; valid until the column is cleared.
    std::string_view Name(std::size_t row) const { return names_.View(nameAt_[row]); }
    /// True when the path of `row` is `path`, byte for byte.
    bool Equals(std::size_t row, std::string_view path) const;
    /// Makes row `to` (at or before `from`) what row `from` is; the rows between are untouched.
    void MoveRow(std::size_t from, std::size_t to);
    /// Keeps the first `rows` rows. The bytes of the names dropped stay until Clear.
    void Truncate(std::size_t rows);
    /// Removes every row and frees the memory.
    void Clear();
    /// Bytes the column holds (capacities, not sizes).
    std::size_t Bytes() const;

private:
    std::uint32_t FolderIndex(std::string_view folder);

    // A deque never moves its texts, so the index can view them.
    std::deque<std::string> folders_;
    std::unordered_map<std::string_view, std::uint32_t> folderIndex_;
    TChunkedColumn<std::uint32_t> folderOf_;
    TChunkedColumn<std::uint64_t> nameAt_;
    TTextArena names_;
};

} // namespace parvex
