#include "run_journal/run_journal.h"

#include "platform/file_io.h"

#include <exception>

namespace parvex {

TRunJournal::TRunJournal(const std::string& folder, const std::string& source)
    : file_(TRunFile::Create(folder, source)) {}

void TRunJournal::Intend(const TStepIntent& intent) {
    TStepIntent& kept = intents_.emplace_back(intent);
    for (std::string* path : {&kept.Name, &kept.Target, &kept.Temporary}) {
        if (!path->empty())
            *path = AbsolutePathOf(*path);
    }
}

void TRunJournal::Record(std::size_t step, const TActionDone& done) {
    TActionDone& kept = results_.emplace_back(step, done).second;
    if (!kept.Target.empty())
        kept.Target = AbsolutePathOf(kept.Target);
}

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
