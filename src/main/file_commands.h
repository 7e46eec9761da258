#pragma once

#include "platform/safe_move.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>

class QTreeWidgetItem;

namespace parvex {

/// The services the file commands reach the desktop and the file system through.
struct TFileCommandServices {
    /// Opens a file with the desktop's application for it.
    std::function<bool(const QByteArray& path)> OpenFile;
    /// Shows how many files a group node holds and the space they use.
    std::function<void(QTreeWidgetItem* group)> ShowGroupInfo;
    /// Asks where a file goes; an empty text means the user cancelled.
    std::function<QString(const QString& title, const QString& fileName)> ChooseMoveDestination;
    /// Asks a yes/no question; true for Yes.
    std::function<bool(const QString& question)> Ask;
    /// Moves a file between two exact paths.
    std::function<TMoveOutcome(const std::string& source, const std::string& destination)> MoveFile;
    /// Moves a file to the trash; true when it went there.
    std::function<bool(const QByteArray& path)> TrashFile;
};

/// The services of the running program: the desktop's trash and the safe move; opening, the
/// group info, the destination and the question are left to the caller.
TFileCommandServices DesktopFileServices();

/// The exact path bytes stored with a file node of the result tree.
QByteArray FileNodePath(const QTreeWidgetItem& node);

/// Open, move and delete on one node of the result tree. Each command says whether the file has
/// left its place, so that the caller takes its node out of the tree exactly then.
class TFileCommands {
public:
    explicit TFileCommands(TFileCommandServices services);

    /// The group info for a group node, the desktop's application for a file node.
    void Open(QTreeWidgetItem& node) const;
    /// Asks for the destination and moves the file node's file there; true when the file is gone
    /// from its place.
    [[nodiscard]] bool Move(const QTreeWidgetItem& node) const;
    /// Asks once, then moves the file at path, shown by node, to the trash; true when the file is
    /// gone from its place.
    [[nodiscard]] bool Delete(const QByteArray& path, const QTreeWidgetItem& node) const;

private:
    TFileCommandServices services_;
};

} // namespace parvex
