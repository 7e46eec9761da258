#include "main/result_tree.h"

#include <QKeyEvent>
#include <QPalette>

namespace parvex {
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

} // namespace parvex
