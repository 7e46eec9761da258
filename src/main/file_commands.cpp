#include "main/file_commands.h"

#include "main/result_tree.h"
#include "platform/desktop/desktop_trash.h"
#include "platform/file_status.h"

#include <QFile>
#include <QTreeWidgetItem>
#include <utility>

namespace parvex {
namespace {

QString FileNameOf(const QByteArray& path) {
    return QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
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
    services.TrashFile = MoveToTrash;
    return services;
}

QByteArray FileNodePath(const QTreeWidgetItem& node) {
    return node.data(0, Qt::UserRole).toByteArray();
}

TFileCommands::TFileCommands(TFileCommandServices services) : services_(std::move(services)) {}

void TFileCommands::Open(QTreeWidgetItem& node) const {
    if (IsGroupNode(&node)) {
        if (services_.ShowGroupInfo)
            services_.ShowGroupInfo(&node);
        return;
    }
    // Whether an application took the file is the desktop's business; nothing is reported.
    if (services_.OpenFile)
        services_.OpenFile(FileNodePath(node));
}

bool TFileCommands::Move(const QTreeWidgetItem& node) const {
    const QByteArray source = FileNodePath(node);
    const QString destination = services_.ChooseMoveDestination(
        QStringLiteral("Move \"%1\" to:").arg(node.text(0)), FileNameOf(source));
    if (destination.isEmpty())
        return false;
    switch (
        services_.MoveFile(source.toStdString(), QFile::encodeName(destination).toStdString())) {
    case TMoveOutcome::Moved:
        return true;
    case TMoveOutcome::SameFile:
        return false;
    case TMoveOutcome::Failed:
        break;
    }
    return GoneFrom(source);
}

bool TFileCommands::Delete(const QByteArray& path, const QTreeWidgetItem& node) const {
    QString question = QStringLiteral("Move this file to the trash?\n\"%1\"").arg(node.text(0));
    if (node.parent() != nullptr && node.parent()->childCount() == 1)
        question += QStringLiteral("\nIt is the last file left in its group.");
    if (!services_.Ask || !services_.Ask(question))
        return false;
    try {
        if (services_.TrashFile(path))
            return true;
    } catch (...) {
        // A failed delete is judged by the file still being there, like every other outcome.
    }
    return GoneFrom(path);
}

} // namespace parvex
