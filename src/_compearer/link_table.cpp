#include "_compearer/link_table.h"

#include <algorithm>

namespace parvex {

void TLinkTable::AddRow(std::size_t row, std::uint32_t linkCount) {
    if (linkCount != 1)
        entries_[row].LinkCount = linkCount;
}

std::uint32_t TLinkTable::NamesFound(std::size_t row) const {
    const TEntry* entry = entries_.Find(row);
    return entry ? entry->NamesFound : 1;
}

std::uint32_t TLinkTable::LinkCount(std::size_t row) const {
    const TEntry* entry = entries_.Find(row);
    return entry ? entry->LinkCount : 1;
}

const std::vector<std::string>& TLinkTable::OtherNames(std::size_t row) const {
    static const std::vector<std::string> none;
    const TEntry* entry = entries_.Find(row);
    return entry ? entry->OtherNames : none;
}

bool TLinkTable::AddOtherName(std::size_t row, std::string path) {
    TEntry& entry = entries_[row];
    if (std::find(entry.OtherNames.begin(), entry.OtherNames.end(), path) != entry.OtherNames.end())
        return false;
    entry.OtherNames.push_back(std::move(path));
    ++entry.NamesFound;
    return true;
}

std::size_t TLinkTable::Bytes() const {
    std::size_t bytes = entries_.Bytes();
    for (const auto& [row, entry] : entries_.Entries()) {
        bytes += entry.OtherNames.capacity() * sizeof(std::string);
        for (const std::string& name : entry.OtherNames)
            bytes += name.capacity();
    }
    return bytes;
}

} // namespace parvex
