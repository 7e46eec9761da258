#pragma once

#include <QByteArray>
#include <memory>
#include <vector>

class QMimeData;

namespace parvex {

/// Files as the clipboard and drags carry them: their addresses as text/uri-list (from the
/// exact path bytes) and their paths as text, one a line, for programs that take text only.
std::unique_ptr<QMimeData> FileListMimeData(const std::vector<QByteArray>& paths);

} // namespace parvex
