#include "_compearer/text_arena.h"

#include <cstring>

namespace parvex {

namespace {

// The length in front of a text: seven bits a byte, the high bit saying that more follow.
constexpr std::size_t kMaxLengthBytes = 10;

std::size_t PutLength(char* at, std::size_t length) {
    std::size_t count = 0;
    for (; length >= 0x80; length >>= 7)
        at[count++] = static_cast<char>(0x80 | (length & 0x7F));
    at[count++] = static_cast<char>(length);
    return count;
}

std::size_t LengthBytes(std::size_t length) {
    char scratch[kMaxLengthBytes];
    return PutLength(scratch, length);
}

} // namespace

std::uint64_t TTextArena::Add(std::string_view text) {
    const std::size_t needed = LengthBytes(text.size()) + text.size();
    if (blocks_.empty() || blocks_.back().Capacity - blocks_.back().Used < needed) {
        const std::size_t capacity = needed > BlockBytes ? needed : BlockBytes;
        blocks_.push_back({std::unique_ptr<char[]>(new char[capacity]), capacity, 0});
    }
    TBlock& block = blocks_.back();
    const std::uint64_t position = std::uint64_t(blocks_.size() - 1) << 32 | block.Used;
    char* at = block.Bytes.get() + block.Used;
    const std::size_t prefix = PutLength(at, text.size());
    if (!text.empty())
        std::memcpy(at + prefix, text.data(), text.size());
    block.Used += needed;
    return position;
}

std::string_view TTextArena::View(std::uint64_t position) const {
    const char* at = blocks_[position >> 32].Bytes.get() + (position & 0xFFFFFFFFU);
    std::size_t length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        length |= std::size_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            break;
    }
    return {at, length};
}

void TTextArena::Clear() {
    std::vector<TBlock>().swap(blocks_);
}

std::size_t TTextArena::Bytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(TBlock);
    for (const TBlock& block : blocks_)
        bytes += block.Capacity;
    return bytes;
}

} // namespace parvex
