#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace parvex {

/// The QString under which Qt reaches the file at the exact path bytes. False when the bytes do
/// not survive the trip through the file name encoding, because such a name would lead Qt to
/// another file or to none.
bool DecodeExactPath(const QByteArray& path, QString& name);

/// The file:// address of the exact path bytes, every byte outside the unreserved set
/// percent-encoded, so that it names the file also when its name is not valid UTF-8.
QUrl FileUrlOfExactPath(const QByteArray& path);

} // namespace parvex
