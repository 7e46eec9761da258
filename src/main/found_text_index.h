#pragma once

#include <QList>
#include <QString>
#include <vector>

class QTreeWidgetItem;

namespace parvex {

/// The texts of the result tree in display order (a group, its files, the next group), folded
/// to one letter case in one contiguous buffer, so that a search through hundreds of thousands
/// of nodes is a single pass over memory.
class TFoundTextIndex {
public:
    /// Takes the folded texts of the groups and their files in display order, each text
    /// followed by a NUL, with the groups they belong to.
    void Assign(QString foldedTexts, const QList<QTreeWidgetItem*>& groups);
    /// Holds nothing any more.
    void Clear();
    /// A node is leaving the tree: it is never found again.
    void Forget(const QTreeWidgetItem* node);

    /// The next node after `position` (down) or before it (up) whose text contains `pattern`
    /// without regard to case. With no position the first node is examined first, whatever the
    /// direction. There is no wrap-around; an empty pattern matches nothing. Null when no node
    /// matches.
    QTreeWidgetItem* FindNext(const QTreeWidgetItem* position, const QString& pattern,
                              bool down) const;

private:
    std::size_t NodeAtOffset(qsizetype offset) const;
    QTreeWidgetItem* FindDown(const QString& pattern, std::size_t first) const;
    QTreeWidgetItem* FindUp(const QString& pattern, std::size_t end) const;

    // Every node's folded text, each followed by a NUL, which no file name holds.
    QString folded_;
    // Where each node's text begins in folded_, and one more entry for the end.
    std::vector<qsizetype> starts_;
    // The nodes in display order; null for a node that left the tree.
    std::vector<QTreeWidgetItem*> nodes_;
};

} // namespace parvex
