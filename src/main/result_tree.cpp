#include "main/result_tree.h"

#include <QCollator>
#include <QKeyEvent>
#include <QPalette>
#include <algorithm>
#include <utility>
#include <vector>

namespace parvex {
namespace {

// One sort key per node, computed once: comparing keys is a byte comparison, where a collator
// comparison of two texts would redo the locale analysis at every step of the sort.
void SortByText(QList<QTreeWidgetItem*>& nodes, const QCollator& collator) {
    std::vector<std::pair<QCollatorSortKey, QTreeWidgetItem*>> keyed;
    keyed.reserve(static_cast<std::size_t>(nodes.size()));
    for (QTreeWidgetItem* node : nodes)
        keyed.emplace_back(collator.sortKey(node->text(0)), node);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        nodes[static_cast<qsizetype>(i)] = keyed[i].second;
}

} // namespace

TResultTree::TResultTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    // The selection stays highlighted when the focus moves to a dialog or another control.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void TResultTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Q_EMIT EnterPressed();
    QTreeWidget::keyPressEvent(event);
}

bool IsGroupNode(const QTreeWidgetItem* node) {
    return node != nullptr && node->parent() == nullptr;
}

void SortResultTree(QTreeWidget& tree, const QCollator& collator) {
    // The nodes are sorted while out of the tree and go back in one insertion, so the view
    // handles a single change instead of one per node.
    QList<QTreeWidgetItem*> groups = tree.invisibleRootItem()->takeChildren();
    SortByText(groups, collator);
    for (QTreeWidgetItem* group : groups) {
        if (group->childCount() < 2)
            continue;
        QList<QTreeWidgetItem*> files = group->takeChildren();
        SortByText(files, collator);
        group->addChildren(files);
    }
    tree.addTopLevelItems(groups);
}

} // namespace parvex
