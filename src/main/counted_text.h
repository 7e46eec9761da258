#pragma once

#include <QString>
#include <cstddef>

namespace parvex {

/// A count in the user's locale followed by the word that fits it: "1 group", "2 groups".
QString CountedText(std::size_t count, const QString& one, const QString& more);

} // namespace parvex
