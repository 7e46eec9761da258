#pragma once

#include "support/temp_tree.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace parvex::testing {

/// The tree's folder as Qt names it, without the final "/" (as QDir and the folder browser do).
inline QString RootFolder(const TTempTree& tree) {
    const std::string& root = tree.Root();
    return QFile::decodeName(QByteArray(root.data(), static_cast<qsizetype>(root.size() - 1)));
}

} // namespace parvex::testing
