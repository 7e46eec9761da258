#include "platform/desktop/desktop_open.h"

#include <QDesktopServices>
#include <QUrl>

namespace parvex {

bool OpenWithDesktop(const QByteArray& path) {
    if (path.isEmpty())
        return false;
    // Built from the percent-encoded bytes, the address names the file exactly, also when its
    // name is not valid UTF-8 and has no faithful QString.
    return QDesktopServices::openUrl(QUrl::fromEncoded("file://" + path.toPercentEncoding("/")));
}

} // namespace parvex
