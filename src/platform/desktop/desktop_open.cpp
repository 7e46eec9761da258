#include "platform/desktop/desktop_open.h"

#include "platform/desktop/desktop_path.h"

#include <QDesktopServices>
#include <QUrl>

namespace parvex {

bool OpenWithDesktop(const QByteArray& path) {
    if (path.isEmpty())
        return false;
    return QDesktopServices::openUrl(FileUrlOfExactPath(path));
}

} // namespace parvex
