#include "_compearer/compearer_core.h"
#include "_compearer/search_spec.h"
#include "platform/file_mask.h"
#include "platform/file_times.h"
#include "platform/folder_reader.h"
#include "platform/virtual_file_systems.h"

#include <algorithm>
#include <xxhash.h>

namespace parvex {

namespace {

std::uint64_t PathHash(const std::string& path) {
    return XXH3_64bits(path.data(), path.size());
}

} // namespace

// The state of one scan: the folder being walked, as one growing buffer, and the mask; the rows
// by file id and, once a second pattern walks the tree again, by path.
struct TCompearerCore::TScanWalk {
    std::string Folder;
    std::string Mask;
    TVirtualFileSystems VirtualFileSystems;
    TRowIndex RowsById;
    TRowIndex RowsByPath;
    bool LaterPattern = false;
};

void TCompearerCore::ScanSearchSpec(const std::string& spec) {
    StopRequested = false;
    TScanWalk walk;
    for (const std::string& pattern : SplitSearchSpec(spec)) {
        ScanPattern(pattern, walk);
        if (walk.LaterPattern)
            continue;
        // The next walk meets the rows of this one again: a path is collected once.
        walk.LaterPattern = true;
        for (std::uint32_t row = 0; row < FilePaths.size(); ++row)
            walk.RowsByPath.Insert(PathHash(FilePaths[row]), row);
    }
}

void TCompearerCore::ScanPattern(const std::string& pattern, TScanWalk& walk) {
    const std::size_t folderLength = FolderPartLength(pattern);
    walk.Folder.assign(pattern, 0, folderLength);
    walk.Mask.assign(pattern, folderLength);
    ScanFolder(walk, true);
}

void TCompearerCore::ScanFolder(TScanWalk& walk, bool isStart) {
    if (IsFolderExcluded(walk.Folder))
        return;
    // The folder's files come first, in enumeration order; then each subfolder with its whole
    // subtree. The folder is read to its end before descending, so the walk holds one open
    // folder at a time, however deep the tree.
    std::string subfolders; // names, each followed by '\0'
    {
        // The start folder is the user's; a link met while descending is never followed.
        TFolderReader reader(walk.Folder, isStart);
        if (!reader.IsOpen() || walk.VirtualFileSystems.IsVirtual(reader.Fd(), reader.Device()))
            return;
        while (!StopRequested && reader.Next()) {
            switch (reader.Kind()) {
            case TEntryKind::RegularFile:
                CollectFile(walk, reader);
                break;
            case TEntryKind::Folder:
                if (ScanSubfolders)
                    subfolders.append(reader.Name()).push_back('\0');
                break;
            case TEntryKind::Other:
                break;
            }
            Poll();
        }
    }
    const std::size_t folderLength = walk.Folder.size();
    for (std::size_t begin = 0; begin < subfolders.size() && !StopRequested;) {
        const std::size_t end = subfolders.find('\0', begin);
        walk.Folder.append(subfolders, begin, end - begin).push_back('/');
        ScanFolder(walk, false);
        walk.Folder.resize(folderLength);
        begin = end + 1;
    }
}

void TCompearerCore::CollectFile(TScanWalk& walk, const TFolderReader& reader) {
    const std::string_view name = reader.Name();
    if (!MatchesFileMask(name, walk.Mask) || (!AllowHidden && name.front() == '.'))
        return;
    TFileFacts facts;
    if (!reader.ReadFileFacts(facts) || (!AllowReadOnly && !facts.OwnerWritable))
        return;
    std::string path;
    path.reserve(walk.Folder.size() + name.size());
    path.append(walk.Folder).append(name);
    if (IsRepeatedPath(walk, path) || KeepAsOtherName(walk, facts.Id, path))
        return;
    const auto row = std::uint32_t(FilePaths.size());
    walk.RowsById.Insert(facts.Id.Hash(), row);
    if (walk.LaterPattern)
        walk.RowsByPath.Insert(PathHash(path), row);
    FilePaths.push_back(std::move(path));
    FileNames.emplace_back(name);
    FileSizes.push_back(static_cast<std::int64_t>(facts.Size));
    FileTimes.push_back(FileTimeCode(facts.ModifiedSeconds));
    FileIds.push_back(facts.Id);
    FileNamesFound.push_back(1);
    FileLinkCounts.push_back(facts.LinkCount);
    FileOtherNames.push_back(0);
}

// A later pattern meets the rows of the earlier ones again.
bool TCompearerCore::IsRepeatedPath(TScanWalk& walk, const std::string& path) const {
    return walk.LaterPattern && walk.RowsByPath.Find(PathHash(path), [&](std::uint32_t row) {
        return FilePaths[row] == path;
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
