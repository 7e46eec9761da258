#pragma once

#include <QByteArray>

namespace parvex {

/// Asks the desktop to open the file at the exact path bytes with its associated application;
/// false when no request could be made.
bool OpenWithDesktop(const QByteArray& path);

} // namespace parvex
