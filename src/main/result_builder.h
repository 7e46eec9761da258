#pragma once

#include <QCollator>
#include <QList>
#include <QString>
#include <vector>

class QByteArray;
class QTreeWidgetItem;

namespace parvex {

class TFoundTextIndex;

/// Collects the groups of a running search outside the tree and does each group's work as soon
/// as the group is complete (its files sorted, its sort key, its folded search text), so that
/// when the search ends the result only needs the groups put in order and one insertion.
class TResultBuilder {
public:
    TResultBuilder() = default;
    TResultBuilder(const TResultBuilder&) = delete;
    TResultBuilder& operator=(const TResultBuilder&) = delete;
    ~TResultBuilder();

    /// Drops what was collected and sorts from now on by the collator.
    void Restart(const QCollator& collator);
    /// Opens a new group; its node is returned but stays the builder's until TakeSorted.
    QTreeWidgetItem* AddGroup(const QString& text);
    /// Adds a file to the group opened last and returns its node (the builder's until
    /// TakeSorted); ignored before the first group, with nullptr returned.
    QTreeWidgetItem* AddFile(const QString& text, const QByteArray& path);
    /// Hands over the groups ordered by text (equal texts in the order found), each with its
    /// files ordered by text, and fills the search index with their texts in that order.
    QList<QTreeWidgetItem*> TakeSorted(TFoundTextIndex& index);

private:
    void CloseGroup();

    struct TGroup {
        QCollatorSortKey Key;
        QTreeWidgetItem* Node;
        QString FoldedTexts;
    };
    std::vector<TGroup> groups_;
    QList<QTreeWidgetItem*> openFiles_;
    QCollator collator_;
};

/// Orders nodes by their text with the collator; nodes of equal text keep their order.
void SortNodesByText(QList<QTreeWidgetItem*>& nodes, const QCollator& collator);

} // namespace parvex
