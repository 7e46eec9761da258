#pragma once

#include "file_actions/action_journal.h"
#include "run_journal/run_file.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace parvex {

/// The journal of one run, one file in the runs folder: records are kept until Sync writes them
/// in one transaction that reaches the disk.
class TRunJournal : public TActionJournal {
public:
    /// Starts the journal of a new run in `folder`, run by `source` ("window", "parvex-cli");
    /// throws std::runtime_error (or ESqliteError) when its file cannot be made.
    TRunJournal(const std::string& folder, const std::string& source);

    /// The run's id, which names it to an undo.
    const std::string& Id() const { return file_->Id(); }

    /// Keeps the intent with its paths made absolute, so that an undo from any folder finds them.
    void Intend(const TStepIntent& intent) override;
    void Record(std::size_t step, const TActionDone& done) override;
    [[nodiscard]] bool Sync() override;
    std::string Error() const override { return error_; }

private:
    std::unique_ptr<TRunFile> file_;
    std::vector<TStepIntent> intents_;
    std::vector<std::pair<std::size_t, TActionDone>> results_;
    std::string error_;
};

} // namespace parvex
