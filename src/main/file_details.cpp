#include "main/file_details.h"

#include "dialogs/file_group_info.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

namespace parvex {
namespace {

QString TimeText(const struct statx_timestamp& time) {
    const QDateTime moment =
        QDateTime::fromMSecsSinceEpoch(time.tv_sec * 1000 + time.tv_nsec / 1000000);
    return QLocale().toString(moment, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The user and group names of an owner, their numbers where the system has no name for them.
QString OwnerText(uid_t uid, gid_t gid) {
    char buffer[4096];
    struct passwd user {};
    struct passwd* userFound = nullptr;
    ::getpwuid_r(uid, &user, buffer, sizeof buffer, &userFound);
    QString text = userFound ? QString::fromLocal8Bit(userFound->pw_name) : QString::number(uid);
    struct group group {};
    struct group* groupFound = nullptr;
    ::getgrgid_r(gid, &group, buffer, sizeof buffer, &groupFound);
    return text + QLatin1Char(':') +
           (groupFound ? QString::fromLocal8Bit(groupFound->gr_name) : QString::number(gid));
}

// "-rw-r--r-- (0644)": the file type, the permission bits as ls shows them, and in octal.
QString ModeText(mode_t mode) {
    QString text = S_ISREG(mode)    ? QStringLiteral("-")
                   : S_ISDIR(mode)  ? QStringLiteral("d")
                   : S_ISLNK(mode)  ? QStringLiteral("l")
                   : S_ISFIFO(mode) ? QStringLiteral("p")
                   : S_ISSOCK(mode) ? QStringLiteral("s")
                   : S_ISCHR(mode)  ? QStringLiteral("c")
                   : S_ISBLK(mode)  ? QStringLiteral("b")
                                    : QStringLiteral("?");
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QLatin1Char(letters[bit]) : QLatin1Char('-');
    if (mode & S_ISUID)
        text[3] = text[3] == u'x' ? u's' : u'S';
    if (mode & S_ISGID)
        text[6] = text[6] == u'x' ? u's' : u'S';
    if (mode & S_ISVTX)
        text[9] = text[9] == u'x' ? u't' : u'T';
    return text + QStringLiteral(" (%1)").arg(mode & 07777, 4, 8, QLatin1Char('0'));
}

} // namespace

std::vector<std::pair<QString, QString>> ReadFileDetails(const QByteArray& path) {
    std::vector<std::pair<QString, QString>> lines;
    lines.emplace_back(QStringLiteral("Path"), QFile::decodeName(path));
    struct statx st {};
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
                &st) != 0) {
        lines.emplace_back(QStringLiteral("Error"), QString::fromLocal8Bit(std::strerror(errno)));
        return lines;
    }
    const QLocale locale;
    lines.emplace_back(QStringLiteral("Size"),
                       SizeText(static_cast<std::int64_t>(st.stx_size), locale) +
                           QStringLiteral(" (%1 bytes)")
                               .arg(locale.toString(static_cast<qulonglong>(st.stx_size))));
    lines.emplace_back(QStringLiteral("Modified"), TimeText(st.stx_mtime));
    lines.emplace_back(QStringLiteral("Changed"), TimeText(st.stx_ctime));
    lines.emplace_back(QStringLiteral("Accessed"), TimeText(st.stx_atime));
    if (st.stx_mask & STATX_BTIME)
        lines.emplace_back(QStringLiteral("Created"), TimeText(st.stx_btime));
    lines.emplace_back(QStringLiteral("Owner"), OwnerText(st.stx_uid, st.stx_gid));
    lines.emplace_back(QStringLiteral("Mode"), ModeText(st.stx_mode));
    lines.emplace_back(QStringLiteral("Links"), locale.toString(st.stx_nlink));
    return lines;
}

} // namespace parvex
