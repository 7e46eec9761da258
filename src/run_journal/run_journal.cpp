#include "run_journal/run_journal.h"

#include <exception>

namespace parvex {

TRunJournal::TRunJournal(const std::string& folder, const std::string& source)
    : file_(TRunFile::Create(folder, source)) {}

bool TRunJournal::Sync() {
    if (intents_.empty() && results_.empty())
        return true;
    try {
        file_->Write(intents_, results_);
    } catch (const std::exception& error) {
        error_ = error.what();
        return false;
    }
    intents_.clear();
    results_.clear();
    return true;
}

} // namespace parvex
