#include "_compearer/compearer_core.h"
#include "_compearer/folder_walk.h"
#include "_compearer/listing_prefetch.h"
#include "_compearer/reader_choice.h"
#include "_compearer/search_spec.h"
#include "platform/file_mask.h"
#include "platform/file_times.h"
#include "platform/folder_reader.h"
#include "platform/large_blocks.h"

#include <algorithm>
#include <sys/stat.h>
#include <thread>
#include <xxhash.h>

namespace parvex {

namespace {

std::uint64_t PathHash(const std::string& path) {
    return XXH3_64bits(path.data(), path.size());
}

// Each folder as the device and inode it names now; one that names no folder is left out.
std::vector<TFileId> FolderIds(const std::vector<std::string>& folders) {
    std::vector<TFileId> ids;
    for (const std::string& folder : folders) {
        struct stat facts {};
        if (::stat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode))
            ids.push_back(FileIdOf(facts));
    }
    return ids;
}

} // namespace

// The state of one scan: the walk with its descriptors and the mask; the rows by file id and,
// once a second pattern walks the tree again, by path.
struct TCompearerCore::TScanWalk {
    TScanWalk(TCompearerCore& core, TDescriptorGrant descriptors, std::size_t readAhead)
        : Descriptors(std::move(descriptors),
                      [&core] {
                          core.Poll();
                          return !core.StopRequested;
                      }),
          Walk(Descriptors, [&core](const std::string& folder,
                                    int error) { core.ReportSkipped(folder, error); }),
          ReadAheadThreads(readAhead) {}

    TDescriptorCache Descriptors; // closes after the walk's descriptors
    TFolderWalk Walk;
    std::size_t ReadAheadThreads;
    std::string Mask;
    std::unique_ptr<TListingPrefetch> Prefetch;
    TRowIndex RowsById;
    TRowIndex RowsByPath;
    bool LaterPattern = false;
};

void TCompearerCore::ScanSearchSpec(const std::string& spec) {
    // The scan's large indexes go back to the system when they are freed.
    GiveLargeBlocksBack();
    StopRequested = false;
    // Rows that were there before are unknown to this scan's indexes: they may repeat its own.
    const bool fresh = FilePaths.empty();
    distinctRows_ = 0;
    // Read-ahead threads are as many as hold two descriptors each, though each reads one folder
    // at a time; the walk holds the rest.
    const std::size_t free = TDescriptorBudget::Process().Free();
    const std::size_t threads = WalkThreads();
    const std::size_t readAhead = threads > 1 ? ThreadsWithin(threads, free) : 0;
    const std::size_t forWalk = free > readAhead + 2 ? free - readAhead : 2;
    TScanWalk walk(*this, TakeDescriptors(2, forWalk), readAhead);
    walk.Walk.SetExcluded(FolderIds(ExcludedFolders));
    const auto patterns = SplitSearchSpec(spec);
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        ScanPattern(patterns[p], walk);
        if (walk.LaterPattern || p + 1 == patterns.size())
            continue;
        // The next walk meets the rows of this one again: a path is collected once.
        walk.LaterPattern = true;
        for (std::uint32_t row = 0; row < FilePaths.size(); ++row) {
            walk.RowsByPath.Insert(PathHash(FilePaths[row]), row);
            Poll();
        }
    }
    // The scan puts no path and no file (device and inode) in the table twice.
    if (fresh)
        distinctRows_ = FilePaths.size();
}

void TCompearerCore::ScanPattern(const std::string& pattern, TScanWalk& walk) {
    const std::size_t folderLength = FolderPartLength(pattern);
    walk.Mask.assign(pattern, folderLength);
    walk.Walk.Reset(pattern.substr(0, folderLength));
    if (walk.ReadAheadThreads > 0)
        walk.Prefetch = std::make_unique<TListingPrefetch>(
            walk.ReadAheadThreads, TDescriptorBudget::Process(),
            TListingPrefetch::TRules{
                [this, mask = walk.Mask](std::string_view name) { return WantsFacts(name, mask); },
                [this](std::string_view name) { return EntersFolder(name); }, walk.Walk.Excluded()},
            pattern.substr(0, folderLength));
    // Pre-order: a folder's files in enumeration order, then each subfolder with its whole
    // subtree. Every folder is read to its end before the walk descends.
    // The start folder is asked about even after a stop, as every pattern's first step.
    for (bool start = true; (start || !StopRequested) && walk.Walk.NextFolder(); start = false) {
        if (walk.Walk.IsExcludedByIdentity() || IsFolderExcluded(walk.Walk.Folder())) {
            SkipReadingAhead(walk);
            continue;
        }
        int error = 0;
        const TFolderWalk::TEntered entered = walk.Walk.Enter(error);
        if (entered == TFolderWalk::TEntered::Failed)
            ReportSkipped(walk.Walk.Folder(), error);
        if (entered == TFolderWalk::TEntered::Opened)
            ScanFolder(walk);
        else
            SkipReadingAhead(walk);
    }
    walk.Prefetch.reset();
}

// Folders are read ahead on worker threads unless one thread does everything; left to the
// search, as many as read a solid disk.
std::size_t TCompearerCore::WalkThreads() const {
    return std::size_t(Threads > 0 ? Threads : SeveralReaders(std::thread::hardware_concurrency()));
}

void TCompearerCore::SkipReadingAhead(TScanWalk& walk) {
    if (walk.Prefetch)
        walk.Prefetch->Skip(walk.Walk.Folder());
}

bool TCompearerCore::WantsFacts(std::string_view name, const std::string& mask) const {
    return MatchesFileMask(name, mask) && (AllowHidden || name.front() != '.');
}

bool TCompearerCore::EntersFolder(std::string_view name) const {
    return ScanSubfolders && (AllowHiddenFolders || name.front() != '.');
}

// The folder's entries as read ahead, or read now; a folder read now has its subfolders read
// ahead.
void TCompearerCore::ScanFolder(TScanWalk& walk) {
    if (!walk.Prefetch) {
        TFolderReader reader(walk.Walk.OpenListing());
        ReadEntries(walk, reader, nullptr);
        return;
    }
    const std::string& folder = walk.Walk.Folder();
    if (const std::unique_ptr<TListing> listing =
            walk.Prefetch->Take(folder, walk.Walk.FolderId())) {
        TListingReader reader(*listing);
        ReadEntries(walk, reader, nullptr);
        return;
    }
    TFolderReader reader(walk.Walk.OpenListing());
    std::vector<std::string> subfolders;
    ReadEntries(walk, reader, &subfolders);
    walk.Prefetch->AddSubfolders(folder, subfolders);
}

template <class TReader>
void TCompearerCore::ReadEntries(TScanWalk& walk, TReader& reader,
                                 std::vector<std::string>* subfolders) {
    if (!reader.IsOpen()) {
        ReportSkipped(walk.Walk.Folder(), reader.Error());
        return;
    }
    ++progress_.FoldersScanned;
    while (!StopRequested && reader.Next()) {
        switch (reader.Kind()) {
        case TEntryKind::RegularFile:
            CollectFile(walk, reader);
            break;
        case TEntryKind::Folder:
            if (EntersFolder(reader.Name())) {
                walk.Walk.AddSubfolder(reader.Name());
                if (subfolders != nullptr)
                    subfolders->emplace_back(reader.Name());
            }
            break;
        case TEntryKind::Other:
            break;
        }
        Poll();
    }
    if (reader.Error() != 0)
        ReportSkipped(walk.Walk.Folder(), reader.Error());
}

template <class TReader> void TCompearerCore::CollectFile(TScanWalk& walk, const TReader& reader) {
    const std::string_view name = reader.Name();
    if (!WantsFacts(name, walk.Mask))
        return;
    const std::string& folder = walk.Walk.Folder();
    std::string path;
    path.reserve(folder.size() + name.size());
    path.append(folder).append(name);
    TFileFacts facts;
    int error = 0;
    if (!reader.ReadFileFacts(facts, error)) {
        if (error != 0)
            ReportSkipped(path, error);
        return;
    }
    if ((!AllowReadOnly && !facts.OwnerWritable) || facts.Size < MinFileSize ||
        facts.Size > MaxFileSize)
        return;
    if (IsRepeatedPath(walk, path) || KeepAsOtherName(walk, facts.Id, path))
        return;
    const auto row = std::uint32_t(FilePaths.size());
    walk.RowsById.Insert(facts.Id.Hash(), row);
    if (walk.LaterPattern)
        walk.RowsByPath.Insert(PathHash(path), row);
    AddFile({.Folder = folder,
             .Name = name,
             .Size = static_cast<std::int64_t>(facts.Size),
             .Time = FileTimeCode(facts.ModifiedSeconds),
             .Id = facts.Id,
             .LinkCount = facts.LinkCount,
             .ModifiedNs = facts.ModifiedNanoseconds,
             .ChangedNs = facts.ChangedNanoseconds});
}

// A later pattern meets the rows of the earlier ones again.
bool TCompearerCore::IsRepeatedPath(TScanWalk& walk, const std::string& path) const {
    return walk.LaterPattern && walk.RowsByPath.Find(PathHash(path), [&](std::uint32_t row) {
        return FilePaths.Equals(row, path);
    }) != TRowIndex::NotFound;
}

// A second name of a file that is a row already (a hard link, a bind mount) joins the row's
// other names, once; true when the file was a row already.
bool TCompearerCore::KeepAsOtherName(TScanWalk& walk, const TFileId& id, std::string& path) {
    const std::uint32_t row = walk.RowsById.Find(
        id.Hash(), [&](std::uint32_t candidate) { return FileIds[candidate] == id; });
    if (row == TRowIndex::NotFound)
        return false;
    AddOtherName(row, std::move(path));
    return true;
}

bool TCompearerCore::IsFolderExcluded(const std::string& folder) {
    if (!OnCheckFolder)
        return false;
    bool allowed = true;
    OnCheckFolder(folder, allowed);
    return !allowed;
}

} // namespace parvex
