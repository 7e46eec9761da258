#include "comparison_store/sqlite_connection.h"

#include <sqlite3.h>

namespace parvex {

void CheckSqlite(sqlite3* db, int code) {
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        return;
    const std::string text = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw ESqliteError(code & 0xff, text);
}

TSqliteStatement::TSqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
    CheckSqlite(db_, sqlite3_prepare_v2(db_, sql.data(), int(sql.size()), &statement_, nullptr));
}

TSqliteStatement::~TSqliteStatement() {
    sqlite3_finalize(statement_);
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::int64_t value) {
    CheckSqlite(db_, sqlite3_bind_int64(statement_, index, value));
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::string_view text) {
    CheckSqlite(
        db_, sqlite3_bind_blob(statement_, index, text.data(), int(text.size()), SQLITE_TRANSIENT));
    return *this;
}

TSqliteStatement& TSqliteStatement::BindBlob(int index, std::span<const unsigned char> bytes) {
    CheckSqlite(db_, sqlite3_bind_blob(statement_, index, bytes.data(), int(bytes.size()),
                                       SQLITE_TRANSIENT));
    return *this;
}

bool TSqliteStatement::Step() {
    const int code = sqlite3_step(statement_);
    CheckSqlite(db_, code);
    return code == SQLITE_ROW;
}

void TSqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void TSqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t TSqliteStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string TSqliteStatement::Text(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return bytes == nullptr
               ? std::string()
               : std::string(bytes, std::size_t(sqlite3_column_bytes(statement_, column)));
}

std::span<const unsigned char> TSqliteStatement::Blob(int column) const {
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(statement_, column));
    return {bytes, bytes == nullptr ? 0 : std::size_t(sqlite3_column_bytes(statement_, column))};
}

TSqliteConnection::TSqliteConnection(const std::string& path, int busyMilliseconds) {
    const int code =
        sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        const std::string text = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        throw ESqliteError(code & 0xff, text);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, busyMilliseconds);
}

TSqliteConnection::~TSqliteConnection() {
    sqlite3_close_v2(db_);
}

void TSqliteConnection::Execute(std::string_view sql) {
    const std::string text(sql);
    CheckSqlite(db_, sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr));
}

std::int64_t TSqliteConnection::Integer(std::string_view sql) {
    TSqliteStatement statement(db_, sql);
    return statement.Step() ? statement.Integer(0) : 0;
}

} // namespace parvex
