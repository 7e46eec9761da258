#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace parvex {

/// The facts about a file the details pane lists, as (label, text) lines: full path, size,
/// times, owner, mode and link count, from the file itself (not following a final link). A file
/// that cannot be examined gives the path and a line that says why.
std::vector<std::pair<QString, QString>> ReadFileDetails(const QByteArray& path);

} // namespace parvex
