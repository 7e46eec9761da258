#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

/// A clock for timing reads: the time now, from any fixed origin. Tests give their own.
using TProbeClock = std::function<std::chrono::nanoseconds()>;

/// The steady clock of the system, as a TProbeClock.
std::chrono::nanoseconds SteadyNow();

/// How long one amount of data took to read region after region by one thread, and how long
/// the same amount took with one thread per region, all at once: the best of a few rounds.
struct TReadProbeTimings {
    std::chrono::nanoseconds serial{};
    std::chrono::nanoseconds parallel{};
    /// The bytes each of the two ways read in one round.
    long long bytesEach = 0;
    /// The regions (and, in parallel, threads) each of the two ways read in one round.
    int regionsEach = 0;
    /// The rounds measured.
    int rounds = 0;
};

/// Bytes of one region of the probe: a short sequential run, read in a few chunks, as the
/// comparison reads a file.
inline constexpr long long ProbeRegionBytes = 256 * 1024;

/// In a few rounds, reads up to `readers` regions of `files` (spread over the files and over
/// each file's length) one after another, then as many other regions with one thread each,
/// bypassing the page cache (O_DIRECT) so it neither helps nor is evicted; times both ways with
/// `clock`, which only the calling thread calls, and keeps each way's best round. At most 16 MiB
/// and about 150 ms. Nullopt when the files hold fewer than two regions for each way, or a read
/// fails.
std::optional<TReadProbeTimings> ProbeParallelReads(const std::vector<std::string>& files,
                                                    int readers, const TProbeClock& clock);

} // namespace parvex
