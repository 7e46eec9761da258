#include "platform/desktop/desktop_trash.h"

#include "platform/desktop/desktop_path.h"
#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

bool ExistsAsEntry(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

// The freedesktop home trash done by hand, for a name that Qt cannot carry: the info file is
// created first (exclusively, so it names a free slot), then the file is renamed into place
// without replacing anything. Only within one file system, as a rename needs.
bool MoveToHomeTrashByBytes(const QByteArray& path, const QString& dataHome) {
    const QByteArray trash = QFile::encodeName(dataHome) + "/Trash";
    const QByteArray files = trash + "/files";
    const QByteArray info = trash + "/info";
    if (!QDir().mkpath(QFile::decodeName(files)) || !QDir().mkpath(QFile::decodeName(info)))
        return false;
    struct stat source {
    }, target{};
    if (::lstat(path.constData(), &source) != 0 || ::stat(files.constData(), &target) != 0 ||
        source.st_dev != target.st_dev)
        return false;
    const QByteArray absolute =
        path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + "/" + path;
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const QByteArray record =
        "[Trash Info]\nPath=" + absolute.toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        "\n";
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QByteArray slot = attempt == 1 ? name : name + "." + QByteArray::number(attempt);
        const QByteArray infoPath = info + "/" + slot + ".trashinfo";
        TUniqueFd fd(::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written =
            WriteAll(fd.Get(), std::string_view(record.constData(), record.size())) && fd.Close();
        const QByteArray filePath = files + "/" + slot;
        if (written && ::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, filePath.constData(),
                                   RENAME_NOREPLACE) == 0)
            return true;
        const int error = errno;
        ::unlink(infoPath.constData());
        if (!written || error != EEXIST)
            return false;
    }
    return false;
}

} // namespace

bool MoveToTrash(const QByteArray& path) {
    // Qt 6.4 puts the trash's files/ and info/ below the working directory when the user's data
    // folder does not exist yet; with the folder in place the home trash is found as it should.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (path.isEmpty() || dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return false;
    QString name;
    if (!DecodeExactPath(path, name))
        return MoveToHomeTrashByBytes(path, dataHome) && !ExistsAsEntry(path);
    return QFile::moveToTrash(name) && !ExistsAsEntry(path);
}

} // namespace parvex
