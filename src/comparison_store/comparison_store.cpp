#include "comparison_store/comparison_store.h"

#include "comparison_store/file_system_kind.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace parvex {

namespace {

// "Parv": the database is one of ours; the version is that of its tables.
constexpr std::int64_t ApplicationId = 0x50617276;
constexpr std::int64_t SchemaVersion = 1;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

void DigestToBlob(const TEndsDigest& digest, unsigned char (&blob)[16]) {
    std::memcpy(blob, digest.data(), sizeof blob);
}

} // namespace

TComparisonStore::TComparisonStore(const std::string& path, int busyMilliseconds) {
    // Made private before SQLite opens it; its journals take its mode.
    const TUniqueFd created(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!created)
        throw ESqliteError(SQLITE_CANTOPEN, path + ": " + std::strerror(errno));
    try {
        Open(path, busyMilliseconds);
    } catch (const ESqliteError& error) {
        if (error.Code != SQLITE_CORRUPT && error.Code != SQLITE_NOTADB)
            throw;
        db_.reset();
        Remove(path);
        const TUniqueFd again(
            ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        Open(path, busyMilliseconds);
        rebuilt_ = true;
    }
}

void TComparisonStore::Open(const std::string& path, int busyMilliseconds) {
    db_ = std::make_unique<TSqliteConnection>(path, busyMilliseconds);
    const std::optional<std::int64_t> type = FileSystemType(FolderOf(path));
    if (type && NeedsRollbackJournal(*type)) {
        db_->Execute("PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=DELETE;");
    } else {
        db_->Execute("PRAGMA journal_mode=WAL;");
    }
    db_->Execute("PRAGMA synchronous=NORMAL;");
    const std::int64_t application = db_->Integer("PRAGMA application_id;");
    const std::int64_t version = db_->Integer("PRAGMA user_version;");
    if (application == ApplicationId && version == SchemaVersion)
        return;
    const bool empty = db_->Integer("SELECT count(*) FROM sqlite_schema;") == 0;
    if (!empty)
        throw ESqliteError(SQLITE_NOTADB, path + ": a store of another version");
    CreateSchema();
}

void TComparisonStore::CreateSchema() {
    db_->Execute("BEGIN IMMEDIATE;");
    try {
        // A second search may have made them meanwhile.
        if (db_->Integer("PRAGMA user_version;") != SchemaVersion) {
            db_->Execute(
                "PRAGMA auto_vacuum=INCREMENTAL;"
                "CREATE TABLE file_systems(id INTEGER PRIMARY KEY, fingerprint BLOB UNIQUE);"
                "CREATE TABLE folders(id INTEGER PRIMARY KEY, path BLOB UNIQUE);"
                "CREATE TABLE next_class(value INTEGER);"
                "INSERT INTO next_class VALUES(1);"
                "CREATE TABLE files(fs INTEGER, inode INTEGER, size INTEGER, mtime INTEGER,"
                " ctime INTEGER, class INTEGER, digest BLOB, folder INTEGER, stored INTEGER,"
                " PRIMARY KEY(fs, inode)) WITHOUT ROWID;");
            db_->Execute("PRAGMA application_id=" + std::to_string(ApplicationId) + ";" +
                         "PRAGMA user_version=" + std::to_string(SchemaVersion) + ";");
        }
        db_->Execute("COMMIT;");
    } catch (...) {
        RollBack();
        throw;
    }
}

std::int64_t TComparisonStore::FileSystemId(const std::string& fingerprint) {
    TSqliteStatement insert =
        db_->Prepare("INSERT OR IGNORE INTO file_systems(fingerprint) VALUES(?)");
    insert.Bind(1, fingerprint).Run();
    TSqliteStatement select = db_->Prepare("SELECT id FROM file_systems WHERE fingerprint = ?");
    select.Bind(1, fingerprint);
    return select.Step() ? select.Integer(0) : 0;
}

std::map<std::int64_t, std::string> TComparisonStore::Folders() {
    std::map<std::int64_t, std::string> folders;
    TSqliteStatement select = db_->Prepare("SELECT id, path FROM folders");
    while (select.Step())
        folders.emplace(select.Integer(0), select.Text(1));
    return folders;
}

void TComparisonStore::ForEachFile(std::int64_t fileSystem,
                                   const std::function<void(const TStoredFile&)>& each) {
    TSqliteStatement select =
        db_->Prepare("SELECT inode, size, mtime, ctime, class, digest, folder FROM files"
                     " WHERE fs = ? ORDER BY inode");
    select.Bind(1, fileSystem);
    TStoredFile file;
    file.FileSystem = fileSystem;
    while (select.Step()) {
        file.Identity = {select.Integer(0), select.Integer(1), select.Integer(2),
                         select.Integer(3)};
        file.Class = std::uint64_t(select.Integer(4));
        const std::span<const unsigned char> digest = select.Blob(5);
        file.Digest = {};
        std::memcpy(file.Digest.data(), digest.data(), std::min(digest.size(), sizeof file.Digest));
        file.Folder = select.Integer(6);
        each(file);
    }
}

std::int64_t TComparisonStore::FolderId(const std::string& folder) {
    if (const auto known = folderIds_.find(folder); known != folderIds_.end())
        return known->second;
    TSqliteStatement insert = db_->Prepare("INSERT OR IGNORE INTO folders(path) VALUES(?)");
    insert.Bind(1, folder).Run();
    TSqliteStatement select = db_->Prepare("SELECT id FROM folders WHERE path = ?");
    select.Bind(1, folder);
    const std::int64_t id = select.Step() ? select.Integer(0) : 0;
    folderIds_.emplace(folder, id);
    return id;
}

// Numbers for `count` new classes, unique among all searches that share the store.
std::uint64_t TComparisonStore::NewClasses(std::uint64_t count) {
    const auto first = std::uint64_t(db_->Integer("SELECT value FROM next_class;"));
    db_->Execute("UPDATE next_class SET value = value + " + std::to_string(count) + ";");
    return first;
}

void TComparisonStore::Write(const TStoreBatch& batch, std::int64_t storedAt) {
    db_->Execute("BEGIN IMMEDIATE;");
    try {
        TSqliteStatement put = db_->Prepare(
            "INSERT OR REPLACE INTO files(fs, inode, size, mtime, ctime, class, digest, folder,"
            " stored) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
        TSqliteStatement move =
            db_->Prepare("UPDATE files SET class = ? WHERE fs = ? AND inode = ? AND class = ?");
        TSqliteStatement forget = db_->Prepare("DELETE FROM files WHERE fs = ? AND inode = ?");
        for (const auto& [fileSystem, inode] : batch.Forget)
            forget.Bind(1, fileSystem).Bind(2, inode).Run();
        std::uint64_t fresh = 0;
        for (const std::vector<TLearntFile>& same : batch.Classes)
            fresh += std::none_of(same.begin(), same.end(),
                                  [](const TLearntFile& file) { return file.Class != 0; });
        std::uint64_t next = fresh != 0 ? NewClasses(fresh) : 0;
        for (const std::vector<TLearntFile>& same : batch.Classes) {
            std::uint64_t target = 0;
            for (const TLearntFile& file : same)
                if (file.Class != 0 && (target == 0 || file.Class < target))
                    target = file.Class;
            if (target == 0)
                target = next++;
            for (const TLearntFile& file : same) {
                if (file.Class == target)
                    continue;
                if (file.Class != 0) {
                    move.Bind(1, std::int64_t(target)).Bind(2, file.FileSystem);
                    move.Bind(3, file.Identity.Inode).Bind(4, std::int64_t(file.Class)).Run();
                    continue;
                }
                unsigned char digest[16];
                DigestToBlob(file.Digest, digest);
                put.Bind(1, file.FileSystem).Bind(2, file.Identity.Inode);
                put.Bind(3, file.Identity.Size).Bind(4, file.Identity.ModifiedNs);
                put.Bind(5, file.Identity.ChangedNs).Bind(6, std::int64_t(target));
                put.BindBlob(7, digest).Bind(8, FolderId(file.Folder)).Bind(9, storedAt);
                put.Run();
            }
        }
        db_->Execute("COMMIT;");
    } catch (...) {
        // Folders made in the transaction are gone with it.
        folderIds_.clear();
        RollBack();
        throw;
    }
}

void TComparisonStore::RollBack() {
    try {
        db_->Execute("ROLLBACK;");
    } catch (const ESqliteError&) {
        // Some errors end the transaction themselves.
    }
}

std::int64_t TComparisonStore::BytesInUse() {
    return (db_->Integer("PRAGMA page_count;") - db_->Integer("PRAGMA freelist_count;")) *
           db_->Integer("PRAGMA page_size;");
}

std::int64_t TComparisonStore::FileCount() {
    return db_->Integer("SELECT count(*) FROM files;");
}

void TComparisonStore::Trim(std::int64_t bytes) {
    // Pages emptied only in part keep their bytes: forget more until the store fits, keeping a
    // tenth below the limit so that the next searches do not trim again at once.
    TSqliteStatement forget =
        db_->Prepare("DELETE FROM files WHERE (fs, inode) IN (SELECT fs, inode FROM files"
                     " ORDER BY stored LIMIT ?)");
    for (std::int64_t used = BytesInUse(); used > bytes;) {
        const std::int64_t files = FileCount();
        if (files == 0)
            break;
        const std::int64_t keep = files * (bytes - bytes / 10) / used;
        forget.Bind(1, std::max<std::int64_t>(files - keep, 1)).Run();
        db_->Execute("DELETE FROM folders WHERE id NOT IN (SELECT DISTINCT folder FROM files);"
                     "PRAGMA incremental_vacuum;");
        used = BytesInUse();
    }
}

bool TComparisonStore::Remove(const std::string& path) {
    bool removed = true;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        if (::unlink((path + suffix).c_str()) != 0 && errno != ENOENT)
            removed = false;
    return removed;
}

} // namespace parvex
