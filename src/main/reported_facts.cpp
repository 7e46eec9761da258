#include "main/reported_facts.h"

#include "_compearer/compearer_core.h"
#include "platform/file_times.h"

#include <sys/stat.h>

namespace parvex {

std::optional<TFoundFile> ReportedFile(const TCompearerCore& core, const std::string& path) {
    const std::size_t row = core.ReportedRow();
    if (row == TCompearerCore::NoRow || row >= core.FileIds.size())
        return FoundFileOnDisk(path);
    return TFoundFile{core.FileIds[row], core.FileSizes[row], core.FileTimes[row]};
}

TResultFacts ReportedFacts(const TCompearerCore& core, const std::string& path) {
    const std::size_t row = core.ReportedRow();
    TResultFacts facts;
    if (row == TCompearerCore::NoRow || row >= core.FileIds.size()) {
        struct stat found {};
        if (::lstat(path.c_str(), &found) == 0 && S_ISREG(found.st_mode)) {
            facts.Found = TFoundFile{FileIdOf(found), static_cast<std::int64_t>(found.st_size),
                                     FileTimeCode(found.st_mtime)};
            facts.ModifiedNs = NanosecondsOf(found.st_mtim);
            facts.AllNamesFound = found.st_nlink <= 1;
        }
        return facts;
    }
    facts.Found = TFoundFile{core.FileIds[row], core.FileSizes[row], core.FileTimes[row]};
    if (row < core.FileModifiedNs.size())
        facts.ModifiedNs = core.FileModifiedNs[row];
    facts.AllNamesFound = core.AllNamesFound(row);
    facts.OtherNames = core.FileLinks.OtherNames(row);
    return facts;
}

} // namespace parvex
