#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <optional>
#include <string>

class QTreeWidgetItem;

namespace parvex {

class TCompearerCore;

/// A file as the search found it: which file it is, its size and its time code. A file whose
/// facts on disk still equal these is unchanged since the search.
struct TFoundFile {
    TFileId Id;
    std::int64_t Size = 0;
    std::int64_t TimeCode = 0; ///< FileTimeCode() of the modification time

    friend bool operator==(const TFoundFile&, const TFoundFile&) = default;
};

/// The facts of the regular file at the exact path bytes now; nothing when none is there.
std::optional<TFoundFile> FoundFileOnDisk(const std::string& path);

/// The facts of the file the engine reports now: its file table row while it reports one,
/// else what is on disk at `path`.
std::optional<TFoundFile> ReportedFile(const TCompearerCore& core, const std::string& path);

/// Keeps the facts on a file node of the result tree, beside its path.
void KeepFoundFile(QTreeWidgetItem& node, const std::optional<TFoundFile>& facts);

/// The facts kept on a file node; nothing when none were kept.
std::optional<TFoundFile> FoundFileOf(const QTreeWidgetItem& node);

/// True unless a file of node's group other than node's own file is on disk unchanged since
/// the search: a second name of the same file (a hard link) is no copy.
bool IsLastCopy(const QTreeWidgetItem& node);

} // namespace parvex
