#include "platform/desktop/desktop_path.h"

#include <QFile>

namespace parvex {

bool DecodeExactPath(const QByteArray& path, QString& name) {
    name = QFile::decodeName(path);
    return !path.isEmpty() && QFile::encodeName(name) == path;
}

QUrl FileUrlOfExactPath(const QByteArray& path) {
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
}

} // namespace parvex
