#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <memory>
#include <vector>

namespace parvex {

/// Byte strings kept one after another in chunks of a fixed size. Growing never moves what is
/// stored, so appending costs the same at the millionth string as at the first, with no pause
/// to copy everything into a larger block.
class TByteStore {
public:
    /// Where a string is: its chunk in the high half, its offset in the low half.
    using TPlace = std::uint64_t;

    /// Keeps a copy of `bytes` and says where.
    TPlace Append(QByteArrayView bytes);
    /// The bytes kept at `place`, `length` of them.
    QByteArrayView View(TPlace place, std::uint32_t length) const;

private:
    static constexpr std::size_t kChunkSize = std::size_t(1) << 20;
    std::vector<std::unique_ptr<char[]>> chunks_;
    // What the last chunk holds and can hold (a string longer than a chunk gets one to itself).
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace parvex
