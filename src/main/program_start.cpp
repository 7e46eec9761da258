#include "main/program_start.h"

#include "dialogs/msg.h"
#include "main/fmain.h"
#include "platform/desktop/desktop_path.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

QString Quoted(const QByteArray& path) {
    return QLatin1Char('"') + QFile::decodeName(path) + QLatin1Char('"');
}

// The absolute path with every link and "." or ".." resolved, in exact bytes;
// the path itself when that fails.
QByteArray ResolvedPath(const QByteArray& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.constData(), resolved) == nullptr)
        return path;
    return QByteArray(resolved);
}

} // namespace

TProgramStart::TProgramStart(TFmain& window) : window_(window) {}

TProgramStart::~TProgramStart() = default;

void TProgramStart::CarryOut(const TProgramCommand& command) {
    if (!command.Error.isEmpty()) {
        Refuse(command.Error);
        return;
    }
    switch (command.Action) {
    case TDesktopAction::NewSearch:
        window_.Edit_root->setFocus();
        window_.Edit_root->selectAll();
        return;
    case TDesktopAction::OpenResult:
        window_.OpenResultClick();
        return;
    case TDesktopAction::None:
        break;
    }
    if (command.Path.isEmpty())
        return;
    struct stat status {};
    if (::stat(command.Path.constData(), &status) != 0) {
        Refuse(QStringLiteral("%1 cannot be opened: %2")
                   .arg(Quoted(command.Path), QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    if (!S_ISDIR(status.st_mode)) {
        if (command.StartSearch)
            Refuse(QStringLiteral("--start searches a FOLDER; %1 is not one")
                       .arg(Quoted(command.Path)));
        else
            OpenResult(command.Path);
        return;
    }
    window_.SetStartFolder(ResolvedPath(command.Path));
    window_.NormalizeStartPath();
    if (command.StartSearch)
        window_.Ocompearer1btn_startClick();
}

void TProgramStart::Refuse(const QString& message) {
    const QByteArray line = "parvex: " + message.toLocal8Bit() + "\n";
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    if (window_.Dialogs.Dmsg != nullptr)
        window_.Dialogs.Dmsg->ShowText(message);
}

void TProgramStart::OpenResult(const QByteArray& path) {
    QString name;
    if (!DecodeExactPath(path, name)) {
        // Qt opens files by text only: a link whose name is that text leads to the exact bytes.
        if (!links_)
            links_ = std::make_unique<QTemporaryDir>();
        const QByteArray target = path.startsWith('/') ? path : ResolvedPath(".") + '/' + path;
        name = links_->filePath(QFileInfo(QFile::decodeName(path)).fileName());
        if (!links_->isValid() ||
            ::symlink(target.constData(), QFile::encodeName(name).constData()) != 0) {
            Refuse(QStringLiteral("%1 cannot be opened: %2")
                       .arg(Quoted(path), QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
    }
    // A refused document was reported by the window; the window stays as it opened.
    (void)window_.OpenResult(name);
}

} // namespace parvex
