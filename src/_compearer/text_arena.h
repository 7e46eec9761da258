#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace parvex {

/// Texts packed one after another into large blocks, each text behind its length, and found
/// again by the position Add gave. A text costs its bytes plus one or two, instead of a string
/// object and a heap allocation of its own. Texts are never removed one by one.
class TTextArena {
public:
    /// Stores `text` and gives its position.
    std::uint64_t Add(std::string_view text);
    /// The text stored at `position`.
    std::string_view View(std::uint64_t position) const;
    /// Forgets every text and frees the blocks.
    void Clear();
    /// Bytes the arena holds: its blocks and the list of them.
    std::size_t Bytes() const;

    /// Bytes of an ordinary block; a longer text gets a block of its own size.
    static constexpr std::size_t BlockBytes = std::size_t(1) << 18;

private:
    struct TBlock {
        std::unique_ptr<char[]> Bytes;
        std::size_t Capacity = 0;
        std::size_t Used = 0;
    };
    std::vector<TBlock> blocks_;
};

} // namespace parvex
