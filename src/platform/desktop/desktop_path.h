#pragma once

#include <QByteArray>
#include <QString>

namespace parvex {

/// The QString under which Qt reaches the file at the exact path bytes. False when the bytes do
/// not survive the trip through the file name encoding, because such a name would lead Qt to
/// another file or to none.
bool DecodeExactPath(const QByteArray& path, QString& name);

} // namespace parvex
