#include "run_journal/run_file.h"

#include "platform/unique_fd.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace parvex {
namespace {

constexpr std::string_view kSuffix = ".run";

// Facts are kept as columns: known flag, device, inode, size, mtime, atime, mode, owner, group.
constexpr std::string_view kSchema = R"(
CREATE TABLE IF NOT EXISTS run(started INTEGER NOT NULL, source TEXT NOT NULL,
                               undone INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS step(
  step INTEGER PRIMARY KEY, action TEXT NOT NULL, name BLOB NOT NULL, target BLOB NOT NULL,
  temporary BLOB NOT NULL, recorded BLOB NOT NULL, reason BLOB NOT NULL,
  b_known INTEGER NOT NULL, b_dev INTEGER, b_ino INTEGER, b_size INTEGER, b_mtime INTEGER,
  b_atime INTEGER, b_mode INTEGER, b_uid INTEGER, b_gid INTEGER,
  k_known INTEGER NOT NULL, k_dev INTEGER, k_ino INTEGER, k_size INTEGER, k_mtime INTEGER,
  state INTEGER NOT NULL DEFAULT 0, result_target BLOB, result_reason BLOB);
)";

std::string PathOf(const std::string& folder, const std::string& id) {
    return folder + "/" + id + std::string(kSuffix);
}

// An id that sorts by the time the run began (UTC), with a number for runs in one second.
std::string IdBase() {
    const std::time_t now = std::time(nullptr);
    struct tm utc {};
    char text[32] = {};
    ::gmtime_r(&now, &utc);
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    return text;
}

// Binds facts to the columns starting at `first`: the known flag, identity, size and
// modification time, and when `look` also the access time, permission bits and owner.
void BindFacts(TSqliteStatement& statement, int first, const std::optional<TNameFacts>& facts,
               bool look) {
    statement.Bind(first, std::int64_t(facts.has_value()));
    if (!facts)
        return;
    statement.Bind(first + 1, static_cast<std::int64_t>(facts->Id.Device))
        .Bind(first + 2, static_cast<std::int64_t>(facts->Id.Inode))
        .Bind(first + 3, facts->Size)
        .Bind(first + 4, facts->ModifiedNs);
    if (!look)
        return;
    statement.Bind(first + 5, facts->AccessedNs)
        .Bind(first + 6, std::int64_t(facts->Mode))
        .Bind(first + 7, std::int64_t(facts->Owner))
        .Bind(first + 8, std::int64_t(facts->Group));
}

std::optional<TNameFacts> FactsAt(const TSqliteStatement& row, int first) {
    if (row.Integer(first) == 0)
        return std::nullopt;
    TNameFacts facts;
    facts.Id = {static_cast<std::uint64_t>(row.Integer(first + 1)),
                static_cast<std::uint64_t>(row.Integer(first + 2))};
    facts.Size = row.Integer(first + 3);
    facts.ModifiedNs = row.Integer(first + 4);
    facts.AccessedNs = row.Integer(first + 5);
    facts.Mode = static_cast<std::uint32_t>(row.Integer(first + 6));
    facts.Owner = static_cast<std::uint32_t>(row.Integer(first + 7));
    facts.Group = static_cast<std::uint32_t>(row.Integer(first + 8));
    return facts;
}

// A transaction that is rolled back unless committed.
class TTransaction {
public:
    explicit TTransaction(TSqliteConnection& db) : db_(db) { db_.Execute("BEGIN IMMEDIATE"); }
    ~TTransaction() {
        if (!committed_) {
            try {
                db_.Execute("ROLLBACK");
            } catch (const ESqliteError&) {
                // Nothing more can be done: SQLite rolls back an open transaction on close.
            }
        }
    }
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit() {
        db_.Execute("COMMIT");
        committed_ = true;
    }

private:
    TSqliteConnection& db_;
    bool committed_ = false;
};

} // namespace

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TRunFile::TRunFile(std::string id, const std::string& path) : id_(std::move(id)), db_(path, 5000) {
    // Each transaction reaches the disk before it counts as written: a batch's intents are
    // there before any of its names is acted on.
    db_.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    db_.Execute(kSchema);
}

std::unique_ptr<TRunFile> TRunFile::Create(const std::string& folder, const std::string& source) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw std::runtime_error("cannot create " + folder + ": " + error.message());
    const std::string base = IdBase();
    for (int number = 1; number < 100000; ++number) {
        const std::string id = base + "-" + std::to_string(number);
        // Holding the empty file reserves the id; SQLite makes it a database.
        TUniqueFd fd(::open(PathOf(folder, id).c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST)
                continue;
            throw std::runtime_error("cannot create a journal in " + folder + ": " +
                                     std::strerror(errno));
        }
        std::unique_ptr<TRunFile> file(new TRunFile(id, PathOf(folder, id)));
        TSqliteStatement insert = file->db_.Prepare("INSERT INTO run(started, source) VALUES(?,?)");
        insert.Bind(1, NowNs()).Bind(2, source).Run();
        return file;
    }
    throw std::runtime_error("no free journal name in " + folder);
}

std::unique_ptr<TRunFile> TRunFile::Open(const std::string& folder, const std::string& id) {
    struct stat facts {};
    if (id.empty() || id.find('/') != std::string::npos ||
        ::stat(PathOf(folder, id).c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return nullptr;
    std::unique_ptr<TRunFile> file(new TRunFile(id, PathOf(folder, id)));
    if (file->db_.Integer("SELECT count(*) FROM run") == 0)
        return nullptr;
    return file;
}

void TRunFile::Write(const std::vector<TStepIntent>& intents,
                     const std::vector<std::pair<std::size_t, TActionDone>>& results) {
    TTransaction transaction(db_);
    TSqliteStatement insert = db_.Prepare(
        "INSERT OR REPLACE INTO step(step, action, name, target, temporary, recorded, reason, "
        "b_known, b_dev, b_ino, b_size, b_mtime, b_atime, b_mode, b_uid, b_gid, "
        "k_known, k_dev, k_ino, k_size, k_mtime) "
        "VALUES(?,?,?,?,?,?,?, ?,?,?,?,?,?,?,?,?, ?,?,?,?,?)");
    for (const TStepIntent& intent : intents) {
        insert.Bind(1, static_cast<std::int64_t>(intent.Step))
            .Bind(2, intent.Action)
            .Bind(3, intent.Name)
            .Bind(4, intent.Target)
            .Bind(5, intent.Temporary)
            .Bind(6, intent.RecordedPath)
            .Bind(7, intent.Reason);
        BindFacts(insert, 8, intent.Before, true);
        BindFacts(insert, 17, intent.Kept, false);
        insert.Run();
    }
    TSqliteStatement update = db_.Prepare(
        "UPDATE step SET state = ?, result_target = ?, result_reason = ? WHERE step = ?");
    for (const auto& [step, done] : results) {
        update.Bind(1, std::int64_t(done.Done ? TStepState::Done : TStepState::NotDone))
            .Bind(2, done.Target)
            .Bind(3, done.Reason)
            .Bind(4, static_cast<std::int64_t>(step))
            .Run();
    }
    transaction.Commit();
}

TRunSummary TRunFile::Summary() {
    TRunSummary summary;
    summary.Id = id_;
    TSqliteStatement run = db_.Prepare("SELECT started, source, undone FROM run");
    if (run.Step()) {
        summary.StartedNs = run.Integer(0);
        summary.Source = run.Text(1);
        summary.UndoneNs = run.Integer(2);
    }
    TSqliteStatement acted = db_.Prepare("SELECT action, count(*) FROM step WHERE state IN (0, 1, "
                                         "3, 4) GROUP BY action ORDER BY min(step)");
    while (acted.Step())
        summary.Acted.emplace_back(acted.Text(0), static_cast<std::size_t>(acted.Integer(1)));
    return summary;
}

std::vector<TStepRecord> TRunFile::Steps() {
    std::vector<TStepRecord> steps;
    TSqliteStatement select =
        db_.Prepare("SELECT step, action, name, target, temporary, recorded, reason, "
                    "b_known, b_dev, b_ino, b_size, b_mtime, b_atime, b_mode, b_uid, b_gid, "
                    "k_known, k_dev, k_ino, k_size, k_mtime, 0, 0, 0, 0, "
                    "state, result_target, result_reason FROM step ORDER BY step");
    while (select.Step()) {
        TStepRecord record;
        TStepIntent& intent = record.Intent;
        intent.Step = static_cast<std::size_t>(select.Integer(0));
        intent.Action = select.Text(1);
        intent.Name = select.Text(2);
        intent.Target = select.Text(3);
        intent.Temporary = select.Text(4);
        intent.RecordedPath = select.Text(5);
        intent.Reason = select.Text(6);
        intent.Before = FactsAt(select, 7);
        intent.Kept = FactsAt(select, 16);
        record.State = static_cast<TStepState>(select.Integer(25));
        const std::string where = select.Text(26);
        record.Where = where.empty() ? intent.Target : where;
        record.Reason = select.Text(27);
        steps.push_back(std::move(record));
    }
    return steps;
}

void TRunFile::WriteUndo(const std::vector<TStepRecord>& steps, std::int64_t undoneNs) {
    TTransaction transaction(db_);
    TSqliteStatement update =
        db_.Prepare("UPDATE step SET state = ?, result_reason = ? WHERE step = ?");
    for (const TStepRecord& record : steps) {
        update.Bind(1, static_cast<std::int64_t>(record.State))
            .Bind(2, record.Reason)
            .Bind(3, static_cast<std::int64_t>(record.Intent.Step))
            .Run();
    }
    db_.Prepare("UPDATE run SET undone = ?").Bind(1, undoneNs).Run();
    transaction.Commit();
}

} // namespace parvex
