#include "_compearer/listing_prefetch.h"

#include "platform/virtual_file_systems.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace parvex {

bool TListingReader::ReadFileFacts(TFileFacts& facts, int& error) const {
    const TListing::TEntry& entry = Entry();
    error = entry.FactsError;
    if (entry.HasFacts)
        facts = entry.Facts;
    return entry.HasFacts;
}

TListingPrefetch::TListingPrefetch(std::size_t threads, TDescriptorBudget& descriptors,
                                   TRules rules, const std::string& startFolder)
    : descriptors_(descriptors), rules_(std::move(rules)), pending_{startFolder} {
    for (std::size_t k = 0; k < std::max<std::size_t>(threads, 1); ++k)
        workers_.emplace_back([this] { Work(); });
}

TListingPrefetch::~TListingPrefetch() {
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    work_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

std::unique_ptr<TListing> TListingPrefetch::Take(const std::string& folder, const TFileId& id) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (const auto found = ready_.find(folder); found != ready_.end()) {
            std::unique_ptr<TListing> listing = std::move(found->second);
            ready_.erase(found);
            entriesAhead_ -= listing->Entries.size();
            lock.unlock();
            work_.notify_all();
            // Another folder took the path's place since it was read ahead: the walk reads
            // what is there now.
            return listing->Id == id ? std::move(listing) : nullptr;
        }
        if (!reading_.contains(folder)) {
            // Still to read: a worker reads it next, even when the entries ahead are many.
            const auto queued = std::find(pending_.rbegin(), pending_.rend(), folder);
            if (queued == pending_.rend())
                return nullptr; // never met, or given up: the walk reads it itself
            wanted_ = folder;
            work_.notify_all();
        }
        landed_.wait(lock);
    }
}

void TListingPrefetch::AddSubfolders(const std::string& folder,
                                     const std::vector<std::string>& names) {
    {
        const std::lock_guard lock(mutex_);
        Push(folder, names);
    }
    work_.notify_all();
}

void TListingPrefetch::Skip(const std::string& folder) {
    const std::lock_guard lock(mutex_);
    skipped_.push_back(folder);
    for (auto it = ready_.begin(); it != ready_.end();) {
        if (it->first.starts_with(folder)) {
            entriesAhead_ -= it->second->Entries.size();
            it = ready_.erase(it);
        } else {
            ++it;
        }
    }
    work_.notify_all();
}

// The first subfolder goes on top: the walk enters it next.
void TListingPrefetch::Push(const std::string& folder, const std::vector<std::string>& names) {
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        pending_.push_back(folder + *name + "/");
}

bool TListingPrefetch::IsSkipped(const std::string& folder) const {
    return std::any_of(skipped_.begin(), skipped_.end(),
                       [&](const std::string& skipped) { return folder.starts_with(skipped); });
}

void TListingPrefetch::Work() {
    TVirtualFileSystems virtualFileSystems; // its answers are kept per worker
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] {
            return done_ || !wanted_.empty() ||
                   (!pending_.empty() && entriesAhead_ < MaxEntriesAhead);
        });
        if (done_)
            return;
        // The folder the walk waits for comes first.
        auto next = std::prev(pending_.end());
        if (!wanted_.empty()) {
            next = std::find(pending_.begin(), pending_.end(), wanted_);
            wanted_.clear();
            if (next == pending_.end())
                continue;
        }
        std::string folder = std::move(*next);
        pending_.erase(next);
        if (IsSkipped(folder)) {
            landed_.notify_all();
            continue;
        }
        reading_.insert(folder);
        lock.unlock();
        std::vector<std::string> subfolders;
        std::unique_ptr<TListing> listing;
        if (const TDescriptorGrant descriptor = descriptors_.TryTake(1, 1))
            listing = Read(folder, virtualFileSystems, subfolders);
        lock.lock();
        reading_.erase(folder);
        const std::size_t entries = listing ? listing->Entries.size() : 0;
        if (listing && !IsSkipped(folder) && ready_.emplace(folder, std::move(listing)).second) {
            entriesAhead_ += entries;
            Push(folder, subfolders);
        }
        landed_.notify_all();
        work_.notify_all();
    }
}

// Null for a folder the walk never enters (a link in its place, a virtual file system), for a
// folder the system gave no descriptor for, and for a read cut short by the end of the walk.
std::unique_ptr<TListing> TListingPrefetch::Read(const std::string& folder,
                                                 TVirtualFileSystems& virtualFileSystems,
                                                 std::vector<std::string>& subfolders) {
    auto listing = std::make_unique<TListing>();
    TFolderReader reader(folder, false);
    if (!reader.IsOpen()) {
        if (reader.Error() == EMFILE || reader.Error() == ENFILE)
            return nullptr;
        listing->OpenError = reader.Error();
        return listing;
    }
    struct stat facts {};
    if (::fstat(reader.Fd(), &facts) != 0)
        return nullptr;
    listing->Id = FileIdOf(facts);
    if (std::find(rules_.Excluded.begin(), rules_.Excluded.end(), listing->Id) !=
            rules_.Excluded.end() ||
        virtualFileSystems.IsVirtual(reader.Fd(), facts.st_dev))
        return nullptr;
    while (reader.Next()) {
        if (done_.load(std::memory_order_relaxed))
            return nullptr;
        TListing::TEntry& entry = listing->Entries.emplace_back();
        entry.Name = reader.Name();
        entry.Kind = reader.Kind();
        if (entry.Kind == TEntryKind::RegularFile && rules_.WantsFacts(entry.Name))
            entry.HasFacts = reader.ReadFileFacts(entry.Facts, entry.FactsError);
        else if (entry.Kind == TEntryKind::Folder && rules_.EntersFolder(entry.Name))
            subfolders.push_back(entry.Name);
    }
    listing->ReadError = reader.Error();
    return listing;
}

} // namespace parvex
