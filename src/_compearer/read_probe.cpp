#include "_compearer/read_probe.h"

#include "platform/unique_fd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <latch>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

// A region is read in chunks of this size, a common read size of the comparison.
constexpr long long ChunkBytes = 64 * 1024;
// Direct reads need buffers, offsets and lengths aligned to the device's logical block; no
// common device has blocks larger than this.
constexpr std::size_t Alignment = 4096;
// However many readers are asked for, a round reads at most this many regions each way.
constexpr int MostReaders = 8;
// The probe runs rounds, each of one serial and one parallel read of fresh regions, and keeps
// each way's best time: a thread that waited for a busy processor only ever adds time, so the
// best round is the one that measured the device. Rounds stop at this many bytes read (eight
// rounds of four readers, four of eight), at this much time (one round or two on a spinning
// disk, where a round of 2 MiB takes some 100 ms; a virtual disk or SSD finishes all rounds in
// a few tens of ms), or when the files hold no more fresh regions.
constexpr long long BudgetBytes = 16 * 1024 * 1024;
constexpr int MostRounds = 8;
constexpr std::chrono::milliseconds BudgetTime{150};

struct TProbeFile {
    TUniqueFd fd;
    long long regions = 0;
};

struct TRegion {
    int fd = -1;
    long long offset = 0;
};

struct TFreeBuffer {
    void operator()(char* buffer) const { std::free(buffer); }
};
using TAlignedBuffer = std::unique_ptr<char, TFreeBuffer>;

// The files that can be read directly, with the number of whole regions each holds. A file that
// is gone, is no regular file or lies where direct reads are refused is left out.
std::vector<TProbeFile> OpenDirect(const std::vector<std::string>& files) {
    std::vector<TProbeFile> opened;
    for (const std::string& path : files) {
        // O_NONBLOCK: a file replaced by a FIFO since it was found must not block the open.
        TUniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        struct stat status {};
        if (!fd || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        const long long regions = status.st_size / ProbeRegionBytes;
        if (regions > 0)
            opened.push_back({std::move(fd), regions});
    }
    return opened;
}

// Up to `wanted` regions, taken from the files in turn (so consecutive regions lie in different
// files where there are several) and spread evenly over each file's length.
std::vector<TRegion> SpreadRegions(const std::vector<TProbeFile>& files, std::size_t wanted) {
    std::vector<long long> taken(files.size(), 0);
    std::vector<std::pair<std::size_t, long long>> order; // file, its ordinal
    for (bool more = true; more && order.size() < wanted;) {
        more = false;
        for (std::size_t file = 0; file < files.size() && order.size() < wanted; ++file) {
            if (taken[file] < files[file].regions) {
                order.emplace_back(file, taken[file]++);
                more = true;
            }
        }
    }
    std::vector<TRegion> regions;
    for (const auto& [file, ordinal] : order) {
        const long long slot = ordinal * files[file].regions / taken[file];
        regions.push_back({files[file].fd.Get(), slot * ProbeRegionBytes});
    }
    return regions;
}

bool ReadChunk(int fd, char* buffer, long long offset) {
    ssize_t got = -1;
    do {
        got = ::pread(fd, buffer, ChunkBytes, offset);
    } while (got < 0 && errno == EINTR);
    return got == ChunkBytes;
}

bool ReadRegion(const TRegion& region, char* buffer) {
    for (long long at = 0; at < ProbeRegionBytes; at += ChunkBytes) {
        if (!ReadChunk(region.fd, buffer, region.offset + at))
            return false;
    }
    return true;
}

// Reads every region at once, one thread each; false when a read or a thread failed.
bool ReadAtOnce(const std::vector<TRegion>& regions, char* buffers, const TProbeClock& clock,
                std::chrono::nanoseconds& took) {
    std::latch start(1);
    std::atomic<bool> failed{false};
    std::vector<std::thread> threads;
    try {
        for (std::size_t i = 0; i < regions.size(); ++i) {
            char* buffer = buffers + i * ChunkBytes;
            threads.emplace_back([&start, &failed, region = regions[i], buffer] {
                start.wait();
                if (!ReadRegion(region, buffer))
                    failed = true;
            });
        }
    } catch (const std::system_error&) {
        failed = true;
    }
    // The threads wait at the latch, so their start-up is not timed.
    const std::chrono::nanoseconds begin = clock();
    start.count_down();
    for (std::thread& thread : threads)
        thread.join();
    took = clock() - begin;
    return !failed;
}

} // namespace

std::chrono::nanoseconds SteadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

std::optional<TReadProbeTimings> ProbeParallelReads(const std::vector<std::string>& files,
                                                    int readers, const TProbeClock& clock) {
    const int wanted = std::min(readers, MostReaders);
    if (wanted < 2)
        return std::nullopt;
    const long long roundBytes = 2 * wanted * ProbeRegionBytes;
    const long long rounds = std::clamp(BudgetBytes / roundBytes, 1LL, (long long)MostRounds);
    const std::vector<TProbeFile> opened = OpenDirect(files);
    const std::vector<TRegion> regions =
        SpreadRegions(opened, static_cast<std::size_t>(rounds * 2 * wanted));
    // Too few regions for a full round: one round with what there is.
    const std::size_t perWay = std::min<std::size_t>(wanted, regions.size() / 2);
    if (perWay < 2)
        return std::nullopt;

    TAlignedBuffer buffers(static_cast<char*>(std::aligned_alloc(Alignment, perWay * ChunkBytes)));
    if (!buffers)
        return std::nullopt;
    // One untimed read first wakes a sleeping disk; it warms the serial way's first chunk,
    // which can only make parallel reading look worse, never better.
    if (!ReadChunk(regions.front().fd, buffers.get(), regions.front().offset))
        return std::nullopt;

    TReadProbeTimings timings;
    timings.regionsEach = static_cast<int>(perWay);
    timings.bytesEach = timings.regionsEach * ProbeRegionBytes;
    const std::chrono::nanoseconds start = clock();
    for (std::size_t first = 0; first + 2 * perWay <= regions.size(); first += 2 * perWay) {
        // Regions come from the files in turn, so each way reads as many files as it can, one
        // region of each, as the comparison's readers read different files.
        const auto middle = regions.begin() + static_cast<std::ptrdiff_t>(first + perWay);
        const std::vector<TRegion> serial(middle - static_cast<std::ptrdiff_t>(perWay), middle);
        const std::vector<TRegion> parallel(middle, middle + static_cast<std::ptrdiff_t>(perWay));
        const std::chrono::nanoseconds begin = clock();
        for (const TRegion& region : serial) {
            if (!ReadRegion(region, buffers.get()))
                return std::nullopt;
        }
        const std::chrono::nanoseconds serialTook = clock() - begin;
        std::chrono::nanoseconds parallelTook{};
        if (!ReadAtOnce(parallel, buffers.get(), clock, parallelTook))
            return std::nullopt;
        const bool firstRound = timings.rounds == 0;
        timings.serial = firstRound ? serialTook : std::min(timings.serial, serialTook);
        timings.parallel = firstRound ? parallelTook : std::min(timings.parallel, parallelTook);
        ++timings.rounds;
        if (clock() - start >= BudgetTime)
            break;
    }
    return timings;
}

} // namespace parvex
