#pragma once

#include "_compearer/read_probe.h"
#include "platform/block_device.h"

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace parvex {

/// The reader count for a device that serves parallel reads well, on a machine with
/// `hardwareThreads` hardware threads (0 when unknown): between 2 and 8.
int SeveralReaders(unsigned hardwareThreads);

/// The reader count for files on a device of `kind`: several on a solid or unknown device; on a
/// rotating one several only when `probe` saw parallel reading clearly faster, else one.
int DecideReaderThreads(TBlockDeviceKind kind, const std::optional<TReadProbeTimings>& probe,
                        unsigned hardwareThreads);

/// What the choice asks of the system; tests give a fake sysfs tree, clock and core count.
struct TReaderChoiceSystem {
    std::string sysfsRoot = "/sys";
    std::string mountInfoPath = "/proc/self/mountinfo";
    TProbeClock clock = SteadyNow;
    unsigned hardwareThreads = std::thread::hardware_concurrency();
};

/// How many threads read the files of a search: `requested` when it is 1 or more, else a
/// choice from the device of the files and, on a rotating disk, a short probe.
int ChooseReaderThreads(int requested, const std::vector<std::string>& sampleFiles);

/// ChooseReaderThreads asking `system` instead of this machine.
int ChooseReaderThreads(int requested, const std::vector<std::string>& sampleFiles,
                        const TReaderChoiceSystem& system);

} // namespace parvex
