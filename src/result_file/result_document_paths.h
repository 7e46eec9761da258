#pragma once

#include "result_file/result_document.h"

namespace parvex {

/// Makes every relative path of a document read (the start folder, the excluded folders, the
/// files with their other names, what was skipped) absolute by putting the search's working
/// folder before it. The bytes are kept as written: no "." or ".." is taken out, since what
/// such a component means is for the file system to say.
void MakePathsAbsolute(TResultDocument& document);

/// Throws EResultFileError, naming both places, when a path is listed as two files, or two files
/// have the same device and inode: each file of a result is one file on disk, listed once.
void RefuseRepeatedFiles(const TResultDocument& document);

} // namespace parvex
