#include "dialogs/search_status.h"

namespace parvex {

QString SearchStatusText(TSearchStatus status) {
    switch (status) {
    case TSearchStatus::stEmpty:
        return QStringLiteral("Empty search result");
    case TSearchStatus::stInProcess:
        return QStringLiteral("Searh in process...");
    case TSearchStatus::stComplete:
        return QStringLiteral("Search process is complete");
    case TSearchStatus::stChanged:
        return QStringLiteral("Search conditions are changed");
    case TSearchStatus::stInterrupted:
        return QStringLiteral("Search process has been interrupted");
    }
    return QString();
}

} // namespace parvex
