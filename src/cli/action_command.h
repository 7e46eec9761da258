#pragma once

#include "cli/cli_options.h"
#include "result_file/result_document.h"

#include <string>
#include <vector>

namespace parvex {

/// Throws ECliUsageError when the folder of --move-to is not an existing folder.
void RequireMoveFolder(const TCliOptions& options);

/// The result saved in `file` for --from, its relative paths made absolute with its working
/// folder; throws ECliUsageError when it cannot be read.
TResultDocument ReadResultToActOn(const std::string& file);

/// Throws ECliUsageError unless the action may run on `result`: content among its keys, and no
/// --keep when it has marked files.
void RequireActable(const TCliOptions& options, const TResultDocument& result);

/// The protected folders of parvex's per-user settings file `settingsFile` (read, never
/// written), then those given; throws std::runtime_error naming the file when it cannot be
/// read.
std::vector<std::string> ProtectedFoldersOf(const std::string& settingsFile,
                                            const std::vector<std::string>& given);

/// Plans and carries out the action of `options` on `result`, writing one record per name to
/// standard output and a summary to standard error; the exit status.
int RunActions(const TCliOptions& options, const TResultDocument& result,
               const std::vector<std::string>& protectedFolders, bool somethingUnread);

} // namespace parvex
