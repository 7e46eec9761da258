#include "platform/desktop_open.h"

#include "platform/desktop_path.h"

#include <QDesktopServices>
#include <QUrl>

namespace parvex {

bool OpenWithDesktop(const QByteArray& path) {
    QString name;
    if (!DecodeExactPath(path, name))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(name));
}

} // namespace parvex
