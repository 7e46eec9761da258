#include "main/file_commands.h"

#include "main/result_model.h"
#include "main/result_tree.h"
#include "platform/file_io.h"
#include "platform/file_status.h"
#include "run_journal/runs_folder.h"
#include "run_journal/single_file_runs.h"

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

QString Decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The question before one file goes to the trash: a last copy says so in its first sentence.
QString TrashQuestion(const QString& shown, const TLastCopyVerdict& verdict) {
    const QString ask = QStringLiteral("Move this file to the trash?\n\"%1\"").arg(shown);
    if (verdict.OtherNames > 0)
        return ask + QStringLiteral("\nIts content stays under %1 other name%2 of the same file.")
                         .arg(verdict.OtherNames)
                         .arg(verdict.OtherNames == 1 ? QString() : QStringLiteral("s"));
    if (!verdict.LastCopy)
        return ask + QStringLiteral("\nThe same bytes stay in:\n\"%1\"")
                         .arg(Decoded(verdict.SameBytesAt));
    const QString why =
        verdict.Stopped
            ? QStringLiteral("the comparison with the other files of its group was cancelled")
        : verdict.Unreadable
            ? QStringLiteral("no other file of its group that could be read holds the same bytes")
            : QStringLiteral("no other file of its group holds the same bytes");
    return QStringLiteral("This file is the last copy of its content: %1.\n").arg(why) + ask;
}

} // namespace

TFileCommandServices DesktopFileServices() {
    TFileCommandServices services;
    // Each move or trash is a run of its own, journalled so that it can be undone.
    services.MoveFile = [](const std::string& source, const std::string& destination) {
        return MoveAsRun(RunsFolder(), source, destination);
    };
    services.TrashFile = [](const std::string& path) { return TrashAsRun(RunsFolder(), path); };
    services.CheckLastCopy = [](const std::string& path, const std::vector<std::string>& others) {
        return DecideLastCopy(path, others);
    };
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
    const TLastCopyVerdict verdict =
        services_.CheckLastCopy(path.toStdString(), model != nullptr ? model->OtherPathsOf(node)
                                                                     : std::vector<std::string>());
    const QString text = node.data().toString();
    if (!services_.Ask || !services_.Ask(TrashQuestion(text, verdict), verdict.LastCopy))
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
        services_.ShowMessage(QStringLiteral("This file cannot be moved to the trash: %1.\n\"%2\"")
                                  .arg(Decoded(outcome.Reason), text));
    return false;
}

} // namespace parvex
