#include "platform/desktop_trash.h"

#include "platform/desktop_path.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <sys/stat.h>

namespace parvex {
namespace {

bool ExistsAsEntry(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

} // namespace

bool MoveToTrash(const QByteArray& path) {
    QString name;
    if (!DecodeExactPath(path, name))
        return false;
    // Qt 6.4 puts the trash's files/ and info/ below the working directory when the user's data
    // folder does not exist yet; with the folder in place the home trash is found as it should.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return false;
    return QFile::moveToTrash(name) && !ExistsAsEntry(path);
}

} // namespace parvex
