#pragma once

#include "platform/freedesktop_trash.h"
#include "platform/last_copy.h"
#include "platform/safe_move.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QModelIndex;

namespace parvex {

/// The services the file commands reach the desktop and the file system through.
struct TFileCommandServices {
    /// Opens a file with the desktop's application for it.
    std::function<bool(const QByteArray& path)> OpenFile;
    /// Shows how many files a group node holds and the space they use.
    std::function<void(const QModelIndex& group)> ShowGroupInfo;
    /// Asks where a file goes, starting in `folder` with `fileName` proposed; an empty text
    /// means the user cancelled.
    std::function<QString(const QString& title, const QString& folder, const QString& fileName)>
        ChooseMoveDestination;
    /// Asks a yes/no question showing all of it; true for Yes. With noIsDefault, Enter says No.
    std::function<bool(const QString& question, bool noIsDefault)> Ask;
    /// Shows a message.
    std::function<void(const QString& text)> ShowMessage;
    /// Moves a file between two exact paths.
    std::function<TMoveOutcome(const std::string& source, const std::string& destination)> MoveFile;
    /// Moves the file at the exact path bytes to the trash.
    std::function<TTrashOutcome(const std::string& path)> TrashFile;
    /// Decides whether the file at `path` is the last copy of its content among `others`.
    std::function<TLastCopyVerdict(const std::string& path, const std::vector<std::string>& others)>
        CheckLastCopy;
};

/// The services of the running program: the freedesktop trash, the safe move and the last-copy
/// check (on the calling thread); opening, the group info, the destination, the question and the
/// message are left to the caller.
TFileCommandServices DesktopFileServices();

/// The exact path bytes stored with a file node of the result tree.
QByteArray FileNodePath(const QModelIndex& node);

/// The exact bytes of a destination chosen as text for the file at `source`: a folder or a
/// name whose text is the one proposed from the source keeps the source's bytes, so that a
/// name that is not UTF-8 survives a move to the proposed name.
QByteArray ChosenDestinationBytes(const QString& chosen, const QByteArray& source);

/// Open, move and delete on one row of the result tree (a TResultModel). Each command says whether
/// the file has left its place, so that the caller takes its node out of the tree exactly then.
class TFileCommands {
public:
    explicit TFileCommands(TFileCommandServices services);

    /// The group info for a group node, the desktop's application for a file node.
    void Open(const QModelIndex& node) const;
    /// Asks for the destination and moves the file node's file there; true when the file is gone
    /// from its place.
    [[nodiscard]] bool Move(const QModelIndex& node) const;
    /// Asks once, then moves the file at path, shown by node, to the trash; true when the file is
    /// gone from its place. When neither another name of the file nor another file of node's
    /// group holds its bytes now, the question says first that it is the last copy of its
    /// content and "No" is its default. A file the trash cannot take stays, and a message says
    /// why.
    [[nodiscard]] bool Delete(const QByteArray& path, const QModelIndex& node) const;

private:
    TFileCommandServices services_;
};

} // namespace parvex
