#include "_compearer/file_id_column.h"

#include <algorithm>

namespace parvex {

void TFileIdColumn::push_back(const TFileId& id) {
    deviceOf_.push_back(DeviceIndex(id.Device));
    inodes_.push_back(id.Inode);
}

// Rows arrive folder by folder, so the device of the last row is nearly always the one.
std::uint32_t TFileIdColumn::DeviceIndex(std::uint64_t device) {
    if (lastDevice_ < devices_.size() && devices_[lastDevice_] == device)
        return lastDevice_;
    const auto known = std::find(devices_.begin(), devices_.end(), device);
    lastDevice_ = std::uint32_t(known - devices_.begin());
    if (known == devices_.end())
        devices_.push_back(device);
    return lastDevice_;
}

void TFileIdColumn::MoveRow(std::size_t from, std::size_t to) {
    deviceOf_[to] = deviceOf_[from];
    inodes_[to] = inodes_[from];
}

void TFileIdColumn::Truncate(std::size_t rows) {
    deviceOf_.resize(rows);
    inodes_.resize(rows);
}

void TFileIdColumn::Clear() {
    std::vector<std::uint64_t>().swap(devices_);
    lastDevice_ = 0;
    deviceOf_.clear();
    inodes_.clear();
}

std::size_t TFileIdColumn::Bytes() const {
    return devices_.capacity() * sizeof(devices_[0]) + deviceOf_.Bytes() + inodes_.Bytes();
}

} // namespace parvex
