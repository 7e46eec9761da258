#pragma once

#include <QString>

class QWidget;

namespace parvex {

/// Asks for a result file over `parent`: where to save one (`save`; the dialog asks before
/// replacing a file, suggests "result.parvex.json" and adds ".parvex.json" to a name without a
/// suffix) or which one to open. Empty when the user cancelled.
QString AskResultFile(QWidget& parent, bool save);

} // namespace parvex
