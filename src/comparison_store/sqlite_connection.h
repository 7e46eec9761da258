#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace parvex {

/// A failed SQLite call: its primary result code and its text.
class ESqliteError : public std::runtime_error {
public:
    ESqliteError(int code, const std::string& text) : std::runtime_error(text), Code(code) {}
    int Code; ///< the primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...)
};

/// One prepared statement of a TSqliteConnection; reset for each use.
class TSqliteStatement {
public:
    TSqliteStatement(sqlite3* db, std::string_view sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    /// Binds parameter `index` (from 1).
    TSqliteStatement& Bind(int index, std::int64_t value);
    TSqliteStatement& Bind(int index, std::string_view text);
    TSqliteStatement& BindBlob(int index, std::span<const unsigned char> bytes);
    /// Steps once: true while a row is there.
    bool Step();
    /// Steps to the end of a statement that returns no rows.
    void Run();
    /// Makes the statement ready to bind and run again.
    void Reset();

    std::int64_t Integer(int column) const;
    std::string Text(int column) const;
    std::span<const unsigned char> Blob(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

/// One open SQLite database; every failure throws ESqliteError.
class TSqliteConnection {
public:
    /// Opens (creating it when missing) the database at `path`; `busyMilliseconds` is how long
    /// a call waits for a lock another connection holds.
    TSqliteConnection(const std::string& path, int busyMilliseconds);
    ~TSqliteConnection();
    TSqliteConnection(const TSqliteConnection&) = delete;
    TSqliteConnection& operator=(const TSqliteConnection&) = delete;

    /// Runs statements that return no rows.
    void Execute(std::string_view sql);
    /// The first column of the first row of `sql`.
    std::int64_t Integer(std::string_view sql);
    /// A statement to bind and step.
    TSqliteStatement Prepare(std::string_view sql) { return TSqliteStatement(db_, sql); }

private:
    sqlite3* db_ = nullptr;
};

/// Throws ESqliteError for a result code other than SQLITE_OK, SQLITE_ROW and SQLITE_DONE.
void CheckSqlite(sqlite3* db, int code);

} // namespace parvex
