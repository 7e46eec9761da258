#pragma once

#include <QByteArray>

namespace parvex {

/// Moves the file at the exact path bytes to the user's freedesktop trash; true when it went
/// there and is no longer at its path.
[[nodiscard]] bool MoveToTrash(const QByteArray& path);

} // namespace parvex
