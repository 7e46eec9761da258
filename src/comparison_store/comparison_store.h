#pragma once

#include "comparison_store/content_digest.h"
#include "comparison_store/sqlite_connection.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace parvex {

/// A file as the store keeps it: where it lives, its identity, and the class of files its bytes
/// were found equal to.
struct TStoredFile {
    std::int64_t FileSystem = 0; ///< FileSystemId of its file system
    TFileIdentity Identity;
    std::uint64_t Class = 0;
    TEndsDigest Digest{};
    std::int64_t Folder = 0; ///< FolderId of its folder
};

/// One file of a class learnt by a search: a file read in it (Class 0) with its digest, or a
/// file whose class an earlier search established.
struct TLearntFile {
    std::int64_t FileSystem = 0;
    TFileIdentity Identity;
    std::uint64_t Class = 0;
    TEndsDigest Digest{};
    std::string Folder;
    std::string Path; ///< where a file read in this search was found, to take its digest
};

/// What one write puts into the store: classes of byte-identical files, and files to forget.
struct TStoreBatch {
    std::vector<std::vector<TLearntFile>> Classes;
    std::vector<std::pair<std::int64_t, std::int64_t>> Forget; ///< file system and inode
};

/// The SQLite database of comparisons. Every call may throw ESqliteError; a store that threw
/// should not be used further in the search.
class TComparisonStore {
public:
    /// Opens the database at `path` (its folder exists), creating it with mode 0600; one that is
    /// no database of this kind or version is built anew, which Rebuilt() then tells.
    /// `busyMilliseconds` bounds the waits for another search's lock.
    TComparisonStore(const std::string& path, int busyMilliseconds);

    /// True when opening found a damaged or foreign database and replaced it.
    bool Rebuilt() const { return rebuilt_; }
    /// The number standing for the file system of `fingerprint`, made when new.
    std::int64_t FileSystemId(const std::string& fingerprint);
    /// Every folder the store knows, by number.
    std::map<std::int64_t, std::string> Folders();
    /// Calls `each` with every file of `fileSystem`, in inode order.
    void ForEachFile(std::int64_t fileSystem, const std::function<void(const TStoredFile&)>& each);
    /// Writes `batch` in one transaction. A class takes the smallest class known among its
    /// files, or a new one; its files read in this search are stored (with `storedAt`, Unix
    /// seconds), the others moved to that class.
    void Write(const TStoreBatch& batch, std::int64_t storedAt);
    /// Forgets the files stored longest ago until the database holds at most `bytes`.
    void Trim(std::int64_t bytes);
    /// Bytes the database's pages in use take.
    std::int64_t BytesInUse();
    /// Files stored.
    std::int64_t FileCount();

    /// Removes the database at `path` with its journals; false when some could not be removed.
    static bool Remove(const std::string& path);

private:
    void Open(const std::string& path, int busyMilliseconds);
    void CreateSchema();
    void RollBack();
    std::int64_t FolderId(const std::string& folder);
    std::uint64_t NewClasses(std::uint64_t count);

    std::unique_ptr<TSqliteConnection> db_;
    std::map<std::string, std::int64_t> folderIds_;
    bool rebuilt_ = false;
};

} // namespace parvex
