#include "comparison_store/store_memory.h"

#include "_compearer/compearer_core.h"
#include "comparison_store/file_system_kind.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sqlite3.h>
#include <unistd.h>

namespace parvex {

namespace {

// A file changed less than this before its bytes were read may change again within the same
// tick of its change time, unseen: what was read of it is not kept.
constexpr std::int64_t TrustedAgeNs = 2'000'000'000;

} // namespace

std::int64_t RealTimeNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

namespace {

bool Covers(const std::string& covered, const std::string& folder, bool subfolders) {
    return subfolders ? folder.starts_with(covered) : folder == covered;
}

} // namespace

TStoreMemory::TStoreMemory(const TCompearerCore& core, TStoreSettings settings)
    : core_(core), settings_(std::move(settings)), path_(ComparisonStorePath(settings_.Folder)) {
    std::string cwd(4096, '\0');
    if (::getcwd(cwd.data(), cwd.size()) != nullptr)
        workingFolder_ = cwd.c_str();
    // Taken before the search starts, whose walk and readers share out what is left.
    constexpr std::size_t StoreDescriptors = 5;
    descriptors_ = TDescriptorBudget::Process().TryTake(StoreDescriptors, StoreDescriptors);
    thread_ = std::thread([this] { Run(); });
}

TStoreMemory::~TStoreMemory() {
    Finish();
}

std::string TStoreMemory::AbsoluteFolder(std::string_view folder) const {
    std::string absolute = folder.starts_with('/') ? std::string() : workingFolder_ + "/";
    absolute.append(folder);
    if (!absolute.ends_with('/'))
        absolute += '/';
    return absolute;
}

void TStoreMemory::Fail(const std::string& what) {
    const std::lock_guard lock(mutex_);
    if (warning_.empty())
        warning_ = "the comparison store " + path_ + " is not used: " + what +
                   "; files are compared without it";
}

std::string TStoreMemory::Warning() const {
    const std::lock_guard lock(mutex_);
    return warning_;
}

void TStoreMemory::OpenStore() {
    if (!descriptors_)
        return GiveUp("no file descriptors are free for it");
    if (!MakeStoreFolder(settings_.Folder))
        return GiveUp(settings_.Folder + ": " + std::strerror(errno));
    try {
        store_ = std::make_unique<TComparisonStore>(path_, settings_.BusyMilliseconds);
        if (store_->Rebuilt())
            Fail("it was damaged or of another version and is built anew");
    } catch (const ESqliteError& error) {
        GiveUp(error.what());
    }
}

void TStoreMemory::Run() {
    OpenStore();
    std::unique_lock lock(mutex_);
    auto lastWrite = std::chrono::steady_clock::now();
    for (;;) {
        wake_.wait_for(lock, settings_.WriteInterval, [this] { return recall_ || finishing_; });
        if (recall_ != nullptr && !recall_->Done) {
            TRecallJob& job = *recall_;
            lock.unlock();
            RecallOnThread(job);
            lock.lock();
            job.Done = true;
            recall_ = nullptr;
            wake_.notify_all();
            continue;
        }
        const bool last = finishing_;
        if (last || std::chrono::steady_clock::now() - lastWrite >= settings_.WriteInterval) {
            TStoreBatch batch = std::move(pending_);
            pending_ = {};
            lock.unlock();
            WriteBatch(std::move(batch));
            lastWrite = std::chrono::steady_clock::now();
            lock.lock();
        }
        if (last)
            break;
    }
    lock.unlock();
    if (store_) {
        try {
            store_->Trim(settings_.SizeLimit);
        } catch (const ESqliteError& error) {
            damaged_ = damaged_ || error.Code == SQLITE_CORRUPT;
            Fail(error.what());
        }
    }
    store_.reset();
    // A damaged store is dropped, so that the next search builds it anew.
    if (damaged_)
        TComparisonStore::Remove(path_);
}

void TStoreMemory::Finish() {
    {
        const std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

std::vector<TKnownContent> TStoreMemory::Recall(std::span<const std::uint32_t> rows,
                                                const std::function<void()>& poll) {
    // Bytes are read after this moment; a file changed less than TrustedAgeNs before it is not
    // kept.
    trustedBeforeNs_ = settings_.WallClockNs() - TrustedAgeNs;
    TRecallJob job;
    job.Rows = rows;
    job.Known.resize(rows.size());
    std::unique_lock lock(mutex_);
    recall_ = &job;
    wake_.notify_all();
    while (!job.Done) {
        wake_.wait_for(lock, std::chrono::milliseconds(10));
        if (job.Done)
            break;
        lock.unlock();
        poll();
        lock.lock();
    }
    return std::move(job.Known);
}

void TStoreMemory::RecallOnThread(TRecallJob& job) {
    if (!store_)
        return;
    try {
        // The file system of each device, once; a file on one without a true identity is never
        // known nor learnt.
        std::vector<std::pair<std::int64_t, std::uint32_t>> wanted; // file system and index
        std::vector<std::pair<std::int64_t, std::int64_t>> inodes;
        for (std::uint32_t index = 0; index < job.Rows.size(); ++index) {
            const std::uint32_t row = job.Rows[index];
            const TFileId id = core_.FileIds[row];
            auto device = devices_.find(id.Device);
            if (device == devices_.end()) {
                TDevice facts;
                const std::string path = core_.FilePaths[row];
                const std::optional<std::int64_t> type = FileSystemType(path);
                const std::optional<std::string> fingerprint =
                    type && KeepsTrueIdentity(*type) ? FileSystemFingerprint(path) : std::nullopt;
                if (fingerprint) {
                    facts.Trusted = true;
                    facts.FileSystem = store_->FileSystemId(*fingerprint);
                }
                device = devices_.emplace(id.Device, facts).first;
            }
            if (device->second.Trusted && id.Known())
                wanted.emplace_back(device->second.FileSystem, index);
        }
        std::sort(wanted.begin(), wanted.end(), [&](const auto& a, const auto& b) {
            return std::pair(a.first, core_.FileIds[job.Rows[a.second]].Inode) <
                   std::pair(b.first, core_.FileIds[job.Rows[b.second]].Inode);
        });
        const std::vector<bool> covered = CoveredFolders();
        for (std::size_t begin = 0; begin < wanted.size();) {
            std::size_t end = begin;
            while (end < wanted.size() && wanted[end].first == wanted[begin].first)
                ++end;
            RecallFileSystem(wanted[begin].first, std::span(wanted).subspan(begin, end - begin),
                             job, covered);
            begin = end;
        }
    } catch (const ESqliteError& error) {
        damaged_ = error.Code == SQLITE_CORRUPT || error.Code == SQLITE_NOTADB;
        std::fill(job.Known.begin(), job.Known.end(), TKnownContent{});
        GiveUp(error.what());
    }
}

// Which folder numbers lie in the folders this search covered.
std::vector<bool> TStoreMemory::CoveredFolders() {
    std::vector<bool> covered;
    std::vector<std::string> folders;
    for (const std::string& folder : settings_.CoveredFolders)
        folders.push_back(AbsoluteFolder(folder));
    for (const auto& [id, path] : store_->Folders()) {
        if (std::size_t(id) >= covered.size())
            covered.resize(std::size_t(id) + 1, false);
        covered[std::size_t(id)] = std::any_of(folders.begin(), folders.end(), [&](const auto& f) {
            return Covers(f, path, settings_.CoveredSubfolders);
        });
    }
    return covered;
}

// Walks the stored files of one file system beside the wanted ones, both by inode: a file
// whose identity is unchanged is known; a stored file that changed, or lies in a covered folder
// and was not met, is forgotten.
void TStoreMemory::RecallFileSystem(std::int64_t fileSystem,
                                    std::span<const std::pair<std::int64_t, std::uint32_t>> wanted,
                                    TRecallJob& job, const std::vector<bool>& covered) {
    std::size_t next = 0;
    std::vector<std::pair<std::int64_t, std::int64_t>> forget;
    const auto inodeOf = [&](std::size_t k) {
        return std::int64_t(core_.FileIds[job.Rows[wanted[k].second]].Inode);
    };
    store_->ForEachFile(fileSystem, [&](const TStoredFile& stored) {
        while (next < wanted.size() && inodeOf(next) < stored.Identity.Inode)
            ++next;
        if (next < wanted.size() && inodeOf(next) == stored.Identity.Inode) {
            const std::uint32_t index = wanted[next].second;
            const std::uint32_t row = job.Rows[index];
            const TFileIdentity now{stored.Identity.Inode, core_.FileSizes[row],
                                    core_.FileModifiedNs[row], core_.FileChangedNs[row]};
            if (now == stored.Identity)
                job.Known[index] = {stored.Class, stored.Digest};
            else
                forget.emplace_back(fileSystem, stored.Identity.Inode);
            return;
        }
        const auto folder = std::size_t(stored.Folder);
        if (folder < covered.size() && covered[folder])
            forget.emplace_back(fileSystem, stored.Identity.Inode);
    });
    const std::lock_guard lock(mutex_);
    pending_.Forget.insert(pending_.Forget.end(), forget.begin(), forget.end());
}

void TStoreMemory::Learn(std::span<const std::uint32_t> rows,
                         std::span<const TKnownContent> known) {
    std::vector<TLearntFile> files;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::uint32_t row = rows[k];
        const TFileId id = core_.FileIds[row];
        const auto device = devices_.find(id.Device);
        if (device == devices_.end() || !device->second.Trusted || !id.Known())
            continue;
        TLearntFile file;
        file.FileSystem = device->second.FileSystem;
        file.Identity = {std::int64_t(id.Inode), core_.FileSizes[row], core_.FileModifiedNs[row],
                         core_.FileChangedNs[row]};
        file.Class = known[k].Class;
        file.Digest = known[k].Digest;
        if (file.Class == 0) {
            if (file.Identity.ChangedNs > trustedBeforeNs_)
                continue;
            file.Path = core_.FilePaths[row];
        }
        files.push_back(std::move(file));
    }
    if (files.empty())
        return;
    const std::lock_guard lock(mutex_);
    if (!givenUp_)
        pending_.Classes.push_back(std::move(files));
}

// The digest and the folder of every file read in this search; one that changed since is left
// out.
void TStoreMemory::CompleteDigests(TStoreBatch& batch) {
    for (std::vector<TLearntFile>& same : batch.Classes) {
        std::erase_if(same, [this](TLearntFile& file) {
            if (file.Class != 0)
                return false;
            const std::optional<TEndsDigest> digest = DigestOfEnds(file.Path, file.Identity);
            if (!digest)
                return true;
            file.Digest = *digest;
            file.Folder =
                AbsoluteFolder(std::string_view(file.Path).substr(0, file.Path.rfind('/') + 1));
            return false;
        });
    }
}

void TStoreMemory::WriteBatch(TStoreBatch batch) {
    if (!store_ || (batch.Classes.empty() && batch.Forget.empty()))
        return;
    CompleteDigests(batch);
    if (settings_.BeforeWrite)
        settings_.BeforeWrite();
    try {
        store_->Write(batch, settings_.WallClockNs() / 1'000'000'000);
    } catch (const ESqliteError& error) {
        damaged_ = error.Code == SQLITE_CORRUPT || error.Code == SQLITE_NOTADB;
        GiveUp(error.what());
    }
}

// The store's thread stops using the store for the rest of the search.
void TStoreMemory::GiveUp(const std::string& what) {
    store_.reset();
    {
        const std::lock_guard lock(mutex_);
        givenUp_ = true;
        pending_ = {};
    }
    Fail(what);
}

} // namespace parvex
