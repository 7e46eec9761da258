#include "_compearer/reader_choice.h"

#include <algorithm>
#include <sys/stat.h>

namespace parvex {
namespace {

// Parallel reading must be at least this much faster (as tenths) before a rotating device is
// read by several threads: a spinning disk's own jitter stays well below it, and a wrong
// "several" costs a spinning disk far more than a wrong "one" costs a fast one.
constexpr long long ClearlyFasterTenths = 13;

} // namespace

int SeveralReaders(unsigned hardwareThreads) {
    // Readers spend most of their time waiting for the device, so two per hardware thread keep
    // the device's queue filled while the others compare what they read; at least two, so one
    // read is always under way while another chunk is compared; at most eight, because SSDs and
    // virtual disks gain little beyond a queue of eight and each reader holds buffers and
    // descriptors of the search's budget.
    const long long cores = std::max(1u, hardwareThreads);
    return static_cast<int>(std::min(8LL, std::max(2LL, 2 * cores)));
}

int DecideReaderThreads(TBlockDeviceKind kind, const std::optional<TReadProbeTimings>& probe,
                        unsigned hardwareThreads) {
    if (kind != TBlockDeviceKind::Rotating)
        return SeveralReaders(hardwareThreads);
    // A device that calls itself rotating may be a virtual disk (whose host serves parallel
    // reads well) or a real spinning disk (where parallel reads seek back and forth); only a
    // measurement tells them apart, and without one the safe answer is one reader.
    if (!probe || probe->serial.count() <= 0 || probe->parallel.count() <= 0)
        return 1;
    const bool clearlyFaster =
        probe->parallel.count() * ClearlyFasterTenths <= probe->serial.count() * 10;
    return clearlyFaster ? SeveralReaders(hardwareThreads) : 1;
}

int ChooseReaderThreads(int requested, const std::vector<std::string>& sampleFiles) {
    return ChooseReaderThreads(requested, sampleFiles, TReaderChoiceSystem{});
}

int ChooseReaderThreads(int requested, const std::vector<std::string>& sampleFiles,
                        const TReaderChoiceSystem& system) {
    if (requested >= 1)
        return requested;
    // Files on rotating devices decide: reading them wrongly costs most. Files elsewhere are
    // fine with several readers anyway.
    std::vector<std::string> rotating;
    TBlockDeviceKind others = TBlockDeviceKind::Unknown;
    for (const std::string& path : sampleFiles) {
        const TBlockDeviceKind kind = FileDeviceKind(path, system.sysfsRoot, system.mountInfoPath);
        if (kind == TBlockDeviceKind::Rotating)
            rotating.push_back(path);
        else if (kind == TBlockDeviceKind::Solid)
            others = kind;
    }
    if (rotating.empty())
        return DecideReaderThreads(others, std::nullopt, system.hardwareThreads);
    // Files shorter than a probe's region are read in one request each, a seek whatever the
    // number of readers; several requests at once let the disk take them in its own order.
    if (std::none_of(rotating.begin(), rotating.end(), [](const std::string& path) {
            struct stat facts {};
            return ::stat(path.c_str(), &facts) == 0 && facts.st_size >= ProbeRegionBytes;
        }))
        return SeveralReaders(system.hardwareThreads);
    return DecideReaderThreads(
        TBlockDeviceKind::Rotating,
        ProbeParallelReads(rotating, SeveralReaders(system.hardwareThreads), system.clock),
        system.hardwareThreads);
}

} // namespace parvex
