#pragma once

#include "_compearer/content_memory.h"
#include "_compearer/descriptor_budget.h"
#include "comparison_store/comparison_store.h"
#include "comparison_store/store_place.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace parvex {

class TCompearerCore;

/// The real time in nanoseconds since the epoch.
std::int64_t RealTimeNs();

/// How a search uses the comparison store.
struct TStoreSettings {
    /// The store's folder; made when missing.
    std::string Folder = ComparisonStoreFolder();
    /// How long a write waits for another search's lock before the store is given up.
    int BusyMilliseconds = 2000;
    /// The store is trimmed to this many bytes, the files stored longest ago first.
    std::int64_t SizeLimit = std::int64_t(1) << 30;
    /// What has been learnt is written at least this often, so that a search stopped or killed
    /// leaves it for the next.
    std::chrono::milliseconds WriteInterval{3000};
    /// The folders the search covers, with their subfolders when CoveredSubfolders: a stored
    /// file in one that the search did not meet is forgotten.
    std::vector<std::string> CoveredFolders;
    bool CoveredSubfolders = true;
    /// Called on the store's thread before each write.
    std::function<void()> BeforeWrite;
    /// The time in nanoseconds since the epoch; a test puts a clock of its own here.
    std::function<std::int64_t()> WallClockNs = RealTimeNs;
};

/// The comparison store as the memory of a search: TCompearerCore::Memory points to it for
/// one search, over one core's file table. The database is opened, read and written on a
/// thread of its own, never on the caller's. Any fault of the store (damaged, locked, read-only,
/// full) leaves the search as it would be without it and yields one warning.
class TStoreMemory final : public TContentMemory {
public:
    TStoreMemory(const TCompearerCore& core, TStoreSettings settings);
    ~TStoreMemory() override;
    TStoreMemory(const TStoreMemory&) = delete;
    TStoreMemory& operator=(const TStoreMemory&) = delete;

    std::vector<TKnownContent> Recall(std::span<const std::uint32_t> rows,
                                      const std::function<void()>& poll) override;
    void Learn(std::span<const std::uint32_t> rows, std::span<const TKnownContent> known) override;

    /// Writes what is left and ends the store's thread; waits for it.
    void Finish();
    /// The warning of the search, empty when the store served it without fault.
    std::string Warning() const;

private:
    struct TRecallJob {
        std::span<const std::uint32_t> Rows;
        std::vector<TKnownContent> Known;
        bool Done = false;
    };
    struct TDevice {
        bool Trusted = false;
        std::int64_t FileSystem = 0;
    };
    void Run();
    void OpenStore();
    void RecallOnThread(TRecallJob& job);
    void RecallFileSystem(std::int64_t fileSystem,
                          std::span<const std::pair<std::int64_t, std::uint32_t>> wanted,
                          TRecallJob& job, const std::vector<bool>& covered);
    std::vector<bool> CoveredFolders();
    void CompleteDigests(TStoreBatch& batch);
    void WriteBatch(TStoreBatch batch);
    void Fail(const std::string& what);
    void GiveUp(const std::string& what);
    std::string AbsoluteFolder(std::string_view folder) const;

    const TCompearerCore& core_;
    const TStoreSettings settings_;
    const std::string path_;
    std::string workingFolder_;
    // The database, its journal or log and shared memory, and a file read for its digest.
    TDescriptorGrant descriptors_;
    std::unique_ptr<TComparisonStore> store_; // the store's thread only
    // Facts the store's thread found for the caller's, written before a recall is done.
    std::map<std::uint64_t, TDevice> devices_;
    std::int64_t trustedBeforeNs_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    TRecallJob* recall_ = nullptr;
    TStoreBatch pending_;
    bool finishing_ = false;
    bool givenUp_ = false;
    bool damaged_ = false; // the store's thread only
    std::string warning_;
    std::thread thread_;
};

} // namespace parvex
