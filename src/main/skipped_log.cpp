#include "main/skipped_log.h"

namespace parvex {

void TSkippedLog::Clear() {
    count_ = 0;
    entries_.clear();
}

void TSkippedLog::Add(const std::string& Path, const std::string& Reason) {
    ++count_;
    if (entries_.size() < KeptEntries)
        entries_.push_back({Path, Reason});
}

} // namespace parvex
