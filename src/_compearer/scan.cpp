#include "_compearer/compearer_core.h"
#include "_compearer/search_spec.h"
#include "platform/file_mask.h"
#include "platform/file_times.h"
#include "platform/folder_reader.h"
#include "platform/virtual_file_systems.h"

namespace parvex {

// The state of one scan: the folder being walked, as one growing buffer, and the mask.
struct TCompearerCore::TScanWalk {
    std::string Folder;
    std::string Mask;
    TVirtualFileSystems VirtualFileSystems;
};

void TCompearerCore::ScanSearchSpec(const std::string& spec) {
    StopRequested = false;
    TScanWalk walk;
    for (const std::string& pattern : SplitSearchSpec(spec))
        ScanPattern(pattern, walk);
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
    FilePaths.push_back(std::move(path));
    FileNames.emplace_back(name);
    FileSizes.push_back(static_cast<std::int64_t>(facts.Size));
    FileTimes.push_back(FileTimeCode(facts.ModifiedSeconds));
}

bool TCompearerCore::IsFolderExcluded(const std::string& folder) {
    if (!OnCheckFolder)
        return false;
    bool allowed = true;
    OnCheckFolder(folder, allowed);
    return !allowed;
}

} // namespace parvex
