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
    /// The modification time in nanoseconds since the epoch (st_mtim), held to 64 bits.
    std::int64_t ModifiedNanoseconds = 0;
    /// The change time of the file's inode in nanoseconds since the epoch (st_ctim).
    std::int64_t ChangedNanoseconds = 0;
    bool OwnerWritable = true;
    TFileId Id;                  ///< device and inode
    std::uint32_t LinkCount = 1; ///< st_nlink, held to 32 bits
};

/// Opens the folder `name` below the open folder `parentFd` (AT_FDCWD: the working directory)
/// for reading; with `followLink` false a symbolic link is not followed. -1 with errno set when
/// it cannot be opened.
int OpenFolderAt(int parentFd, const char* name, bool followLink);

/// One open folder, read entry by entry in the order in which the file system enumerates them.
class TFolderReader {
public:
    /// Opens the folder at `path`; with `followLink` false a symbolic link is not followed.
    TFolderReader(const std::string& path, bool followLink);
    /// Reads the folder open at `listing`, which it takes over.
    explicit TFolderReader(int listing);
    ~TFolderReader();
    TFolderReader(const TFolderReader&) = delete;
    TFolderReader& operator=(const TFolderReader&) = delete;

    /// True when the folder could be opened for reading.
    bool IsOpen() const { return dir_ != nullptr; }
    /// The system's error number of a failed open or of a read that ended the entries early;
    /// 0 while there was none.
    int Error() const { return error_; }
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
    /// Size, time, id, link count and owner write bit of the current entry; false unless it is
    /// a regular file. `error` is the system's error number when the entry could not be
    /// examined, 0 when it is there but no regular file (any more).
    bool ReadFileFacts(TFileFacts& facts, int& error) const;

private:
    void Attach(int listing);

    DIR* dir_ = nullptr;
    int error_ = 0;
    dev_t device_ = 0;
    const dirent* entry_ = nullptr;
};

} // namespace parvex
