#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <ctime>
#include <dirent.h>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace parvex {

/// What a folder entry is; only regular files are ever collected or opened.
enum class TEntryKind { RegularFile, Folder, Other };

/// The facts of a regular file that the file table records.
struct TFileFacts {
    std::int64_t Size = 0;
    std::time_t ModifiedSeconds = 0;
    bool OwnerWritable = true;
    TFileId Id;                  ///< device and inode
    std::uint32_t LinkCount = 1; ///< st_nlink, held to 32 bits
};

/// One open folder, read entry by entry in the order in which the file system enumerates them.
class TFolderReader {
public:
    /// Opens the folder at `path`; with `followLink` false a symbolic link is not followed.
    TFolderReader(const std::string& path, bool followLink);
    ~TFolderReader();
    TFolderReader(const TFolderReader&) = delete;
    TFolderReader& operator=(const TFolderReader&) = delete;

    /// True when the folder could be opened for reading.
    bool IsOpen() const { return dir_ != nullptr; }
    /// The descriptor of the open folder.
    int Fd() const;
    /// The device the folder lies on.
    dev_t Device() const { return device_; }

    /// Steps to the next entry other than "." and ".."; false at the end or on an error.
    bool Next();
    /// The current entry's name, exactly as the file system gave it.
    std::string_view Name() const { return entry_->d_name; }
    /// The current entry's kind; a symbolic link is Other, whatever it points to.
    TEntryKind Kind() const;
    /// Size, time and owner write bit of the current entry; false unless it is a regular file.
    bool ReadFileFacts(TFileFacts& facts) const;

private:
    DIR* dir_ = nullptr;
    dev_t device_ = 0;
    const dirent* entry_ = nullptr;
};

} // namespace parvex
