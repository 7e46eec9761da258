#include "main/file_commands.h"

#include "main/found_file.h"
#include "main/result_model.h"
#include "main/result_tree.h"
#include "platform/file_io.h"
#include "platform/file_status.h"

#include <QFile>
#include <exception>
#include <utility>

namespace parvex {
namespace {

QByteArray FolderBytesOf(const QByteArray& path) {
    return QByteArray::fromStdString(FolderOf(path.toStdString()));
}

QByteArray NameBytesOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// A command that did not do its work may still find the file gone (it vanished before); the
// node of a file that is not there any more leaves the tree all the same.
bool GoneFrom(const QByteArray& path) {
    return !EntryExists(path.toStdString());
}

} // namespace

TFileCommandServices DesktopFileServices() {
    TFileCommandServices services;
    services.MoveFile = SafeMoveFile;
    services.TrashFile = TrashFile;
    return services;
}

QByteArray FileNodePath(const QModelIndex& node) {
    return node.data(TResultModel::PathRole).toByteArray();
}

QByteArray ChosenDestinationBytes(const QString& chosen, const QByteArray& source) {
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : chosen.left(slash);
    const QString name = chosen.mid(slash + 1);
    const QByteArray sourceFolder = FolderBytesOf(source);
    const QByteArray sourceName = NameBytesOf(source);
    // Decoding is lossy for bytes that are not UTF-8, so the text of the proposal stands for
    // the source's own bytes; any other text is the user's and is encoded as typed.
    const QByteArray folderBytes =
        folder == QFile::decodeName(sourceFolder) ? sourceFolder : QFile::encodeName(folder);
    const QByteArray nameBytes =
        name == QFile::decodeName(sourceName) ? sourceName : QFile::encodeName(name);
    return slash < 0 ? nameBytes : folderBytes + '/' + nameBytes;
}

TFileCommands::TFileCommands(TFileCommandServices services) : services_(std::move(services)) {}

void TFileCommands::Open(const QModelIndex& node) const {
    if (IsGroupNode(node)) {
        if (services_.ShowGroupInfo)
            services_.ShowGroupInfo(node);
        return;
    }
    // Whether an application took the file is the desktop's business; nothing is reported.
    if (services_.OpenFile)
        services_.OpenFile(FileNodePath(node));
}

bool TFileCommands::Move(const QModelIndex& node) const {
    const QByteArray source = FileNodePath(node);
    const QString destination = services_.ChooseMoveDestination(
        QStringLiteral("Move \"%1\" to:").arg(node.data().toString()),
        QFile::decodeName(FolderBytesOf(source)), QFile::decodeName(NameBytesOf(source)));
    if (destination.isEmpty())
        return false;
    switch (services_.MoveFile(source.toStdString(),
                               ChosenDestinationBytes(destination, source).toStdString())) {
    case TMoveOutcome::Moved:
        return true;
    case TMoveOutcome::SameFile:
        return false;
    case TMoveOutcome::Failed:
        break;
    }
    return GoneFrom(source);
}

bool TFileCommands::Delete(const QByteArray& path, const QModelIndex& node) const {
    const auto* model = qobject_cast<const TResultModel*>(node.model());
    const bool lastCopy =
        IsLastCopy(path.toStdString(),
                   model != nullptr ? model->OtherFilesOf(node) : std::vector<TKeptFile>());
    const QString text = node.data().toString();
    QString question = QStringLiteral("Move this file to the trash?\n\"%1\"").arg(text);
    if (lastCopy)
        question += QStringLiteral("\nIt is the last copy: no other file of its group is left "
                                   "unchanged on disk.");
    if (!services_.Ask || !services_.Ask(question, lastCopy))
        return false;
    TTrashOutcome outcome;
    try {
        outcome = services_.TrashFile(path.toStdString());
    } catch (const std::exception& error) {
        outcome.Reason = error.what();
    } catch (...) {
        // Judged by the file's place like every other outcome.
    }
    if (outcome.Trashed || GoneFrom(path))
        return true;
    if (services_.ShowMessage)
        services_.ShowMessage(
            QStringLiteral("\"%1\"\ncannot be moved to the trash: %2")
                .arg(text, QFile::decodeName(QByteArray::fromStdString(outcome.Reason))));
    return false;
}

} // namespace parvex
