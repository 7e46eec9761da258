#pragma once

#include "comparison_store/sqlite_connection.h"
#include "file_actions/action_journal.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace parvex {

/// Where a step of a run stands.
enum class TStepState {
    Intended = 0, ///< its intent was written, its result never was: learnt on disk at undo
    Done = 1,     ///< acted on
    NotDone = 2,  ///< skipped or failed: nothing to undo
    PutBack = 3,  ///< undone
    Skipped = 4   ///< an undo could not put it back (its reason says why)
};

/// One step as its run's journal holds it.
struct TStepRecord {
    TStepIntent Intent;
    TStepState State = TStepState::Intended;
    /// Where the step's act put the name, when done; else its intended target.
    std::string Where;
    /// Why it was not done, or why an undo skipped it.
    std::string Reason;
};

/// What a run's journal says of the run as a whole.
struct TRunSummary {
    std::string Id;
    std::int64_t StartedNs = 0;
    std::string Source;        ///< what ran it: "window" or "parvex-cli"
    std::int64_t UndoneNs = 0; ///< when an undo of it ran; 0 while none has
    /// The number of steps done (or with an intent only) per action word, in the order first met.
    std::vector<std::pair<std::string, std::size_t>> Acted;
};

/// The journal file of one run, kept in SQLite: the run's summary and one row per step. A file is
/// written in transactions only, so a run killed at any point leaves a readable file.
class TRunFile {
public:
    /// Creates the file of a new run in `folder` (made when missing) under a new id; throws
    /// std::runtime_error or ESqliteError when it cannot.
    static std::unique_ptr<TRunFile> Create(const std::string& folder, const std::string& source);
    /// Opens the file of the run `id` in `folder`; nothing when there is no such run.
    static std::unique_ptr<TRunFile> Open(const std::string& folder, const std::string& id);

    const std::string& Id() const { return id_; }
    /// Writes `intents`, then `results`, in one transaction synced to disk.
    void Write(const std::vector<TStepIntent>& intents,
               const std::vector<std::pair<std::size_t, TActionDone>>& results);
    TRunSummary Summary();
    /// The steps in the order they were intended.
    std::vector<TStepRecord> Steps();
    /// Writes what an undo made of `steps` and when it ran, in one transaction.
    void WriteUndo(const std::vector<TStepRecord>& steps, std::int64_t undoneNs);

private:
    TRunFile(std::string id, const std::string& path);

    std::string id_;
    TSqliteConnection db_;
};

/// The current time in nanoseconds since the epoch.
std::int64_t NowNs();

} // namespace parvex
