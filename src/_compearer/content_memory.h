#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace parvex {

/// What an earlier search established about a file's bytes, as long as the file is unchanged.
struct TKnownContent {
    /// Files of one class were found byte-identical; 0 when nothing is known of the file.
    std::uint64_t Class = 0;
    /// A digest of the file's first and last bytes: files whose digests differ differ. Equal
    /// digests prove nothing.
    std::array<std::uint64_t, 2> Digest{};

    bool Known() const { return Class != 0; }
};

/// Facts about content kept from one search to the next, so that files unchanged since an
/// earlier search need not be read again. The comparison pass asks it about the rows of its
/// candidate sets (indexes into the core's file table) and tells it what it found.
class TContentMemory {
public:
    virtual ~TContentMemory() = default;

    /// What is known of each of `rows` (ascending, the candidates of a complete scan), one entry
    /// per row in their order. `poll` keeps the caller responsive while the answer is awaited.
    virtual std::vector<TKnownContent> Recall(std::span<const std::uint32_t> rows,
                                              const std::function<void()>& poll) = 0;
    /// `rows` (ascending) hold byte-identical files, as compared in this search or known from an
    /// earlier one; a single row is a readable file identical to no other of its set. `known`
    /// is what Recall said of each row.
    virtual void Learn(std::span<const std::uint32_t> rows,
                       std::span<const TKnownContent> known) = 0;
};

} // namespace parvex
