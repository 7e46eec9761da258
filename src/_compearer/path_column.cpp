#include "_compearer/path_column.h"

namespace parvex {

namespace {

// The heap bytes of a text: none while it fits inside the string object.
std::size_t HeapBytes(const std::string& text) {
    const char* inside = reinterpret_cast<const char*>(&text);
    const bool local = text.data() >= inside && text.data() < inside + sizeof text;
    return local ? 0 : text.capacity() + 1;
}

} // namespace

void TPathColumn::Add(std::string_view folder, std::string_view name) {
    folderOf_.push_back(FolderIndex(folder));
    nameAt_.push_back(names_.Add(name));
}

std::uint32_t TPathColumn::FolderIndex(std::string_view folder) {
    // The scan adds every file of a folder in a row: the last folder is nearly always the one.
    if (!folders_.empty() && folders_.back() == folder)
        return std::uint32_t(folders_.size() - 1);
    const auto known = folderIndex_.find(folder);
    if (known != folderIndex_.end())
        return known->second;
    const std::string& added = folders_.emplace_back(folder);
    const auto index = std::uint32_t(folders_.size() - 1);
    folderIndex_.emplace(added, index);
    return index;
}

std::string TPathColumn::operator[](std::size_t row) const {
    std::string path;
    CopyPath(row, path);
    return path;
}

void TPathColumn::CopyPath(std::size_t row, std::string& path) const {
    const std::string& folder = Folder(row);
    const std::string_view name = Name(row);
    path.reserve(folder.size() + name.size());
    path.assign(folder).append(name);
}

bool TPathColumn::Equals(std::size_t row, std::string_view path) const {
    const std::string& folder = Folder(row);
    return path.size() >= folder.size() && path.starts_with(folder) &&
           path.substr(folder.size()) == Name(row);
}

void TPathColumn::MoveRow(std::size_t from, std::size_t to) {
    folderOf_[to] = folderOf_[from];
    nameAt_[to] = nameAt_[from];
}

void TPathColumn::Truncate(std::size_t rows) {
    folderOf_.resize(rows);
    nameAt_.resize(rows);
}

void TPathColumn::Clear() {
    std::unordered_map<std::string_view, std::uint32_t>().swap(folderIndex_);
    std::deque<std::string>().swap(folders_);
    folderOf_.clear();
    nameAt_.clear();
    names_.Clear();
}

std::size_t TPathColumn::Bytes() const {
    std::size_t bytes = folderOf_.Bytes() + nameAt_.Bytes() + names_.Bytes();
    // A node of the index: the link to the next, the view, the row and the cached hash.
    constexpr std::size_t kIndexNodeBytes = 2 * sizeof(void*) + sizeof(std::string_view) + 8;
    for (const std::string& folder : folders_)
        bytes += sizeof folder + HeapBytes(folder) + kIndexNodeBytes;
    return bytes + folderIndex_.bucket_count() * sizeof(void*);
}

} // namespace parvex
