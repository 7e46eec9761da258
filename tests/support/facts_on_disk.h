#pragma once

#include "result_file/result_document.h"

#include <string>
#include <vector>

namespace parvex::testing {

/// The facts of the regular file at `path` as a search reports them now; `otherNames` are the
/// other names of it that the search found.
TResultFileFacts FactsOnDisk(const std::string& path, std::vector<std::string> otherNames = {});

/// A group of the files at `paths`, in that order, with their facts on disk.
TResultGroupFacts GroupOnDisk(const std::vector<std::string>& paths);

} // namespace parvex::testing
