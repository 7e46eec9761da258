// The file commands of the main window: open, move and delete the selected node's file.
#include "dialogs/file_group_info.h"
#include "main/fmain.h"
#include "main/result_tree.h"
#include "platform/desktop/desktop_trash.h"
#include "platform/safe_move.h"

#include <QAction>
#include <QFile>
#include <QTreeWidget>
#include <sys/stat.h>

namespace parvex {
namespace {

QByteArray PathOf(const QTreeWidgetItem* node) {
    return node->data(0, Qt::UserRole).toByteArray();
}

bool FileIsThere(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

QString FileNameOf(const QByteArray& path) {
    return QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
}

} // namespace

void TFmain::TB_openClick() {
    QTreeWidgetItem* node = SelectedNode();
    if (!TB_open->isEnabled() || node == nullptr)
        return;
    if (IsGroupNode(node)) {
        if (Dialogs.D_file_group_info != nullptr)
            Dialogs.D_file_group_info->ShowGroupInfo(node);
        return;
    }
    OpenFile(PathOf(node));
}

void TFmain::TB_moveClick() {
    QTreeWidgetItem* node = SelectedNode();
    if (!TB_move->isEnabled() || node == nullptr)
        return;
    const QByteArray source = PathOf(node);
    const QString destination = ChooseMoveDestination(
        QStringLiteral("Move \"%1\" to:").arg(node->text(0)), FileNameOf(source));
    if (destination.isEmpty())
        return;
    SafeMoveFile(source.toStdString(), QFile::encodeName(destination).toStdString());
    if (!FileIsThere(source))
        RemoveFileNode(node);
}

void TFmain::TB_deleteClick() {
    QTreeWidgetItem* node = SelectedNode();
    if (!TB_delete->isEnabled() || node == nullptr)
        return;
    DeleteToRecycleBin(PathOf(node), node);
}

bool TFmain::DeleteToRecycleBin(const QByteArray& Path, QTreeWidgetItem* Node) {
    QString question = QStringLiteral("Move this file to the trash?\n\"%1\"").arg(Node->text(0));
    if (Node->parent() != nullptr && Node->parent()->childCount() == 1)
        question += QStringLiteral("\nIt is the last file left in its group.");
    if (!Ask(question))
        return false;
    try {
        MoveToTrash(Path);
    } catch (...) {
        // A failed delete is judged by the file still being there, like every other outcome.
    }
    if (FileIsThere(Path))
        return false;
    RemoveFileNode(Node);
    return true;
}

void TFmain::RemoveFileNode(QTreeWidgetItem* node) {
    if (FindPosition == node)
        FindPosition = nullptr;
    FoundIndex.Forget(node);
    delete node;
    UpdateCommands();
}

} // namespace parvex
