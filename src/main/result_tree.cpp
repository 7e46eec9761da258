#include "main/result_tree.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPalette>

namespace parvex {
TResultTree::TResultTree(QWidget* parent) : QTreeView(parent) {
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformRowHeights(true);
    // File rows are dragged out to other programs; nothing is dropped here.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAllColumnsShowFocus(true);
    // A long path keeps its file name in sight; the whole path is in the tooltip.
    setTextElideMode(Qt::ElideMiddle);
    header()->setStretchLastSection(false);
    // Columns fit the rows in sight: measuring a thousand rows per column after each layout
    // of a large result would stall the window.
    header()->setResizeContentsPrecision(0);
    // The selection stays highlighted when the focus moves to a dialog or another control.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void TResultTree::setModel(QAbstractItemModel* model) {
    QTreeView::setModel(model);
    if (model == nullptr)
        return;
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

int TResultTree::sizeHintForColumn(int column) const {
    const int content = QTreeView::sizeHintForColumn(column);
    if (column == 0 || content < 0)
        return content;
    return content + 2 * fontMetrics().averageCharWidth();
}

void TResultTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Q_EMIT EnterPressed();
    const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        RequestMenuAtCurrentRow();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        Q_EMIT CopyPressed();
        event->accept();
        return;
    }
    // Space toggles the mark of the selected file, whichever column holds the focus.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const QModelIndex file = currentIndex().siblingAtColumn(0);
        if (file.isValid() && !IsGroupNode(file) && model() != nullptr) {
            const bool marked =
                file.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
            model()->setData(file, marked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TResultTree::contextMenuEvent(QContextMenuEvent* event) {
    // A menu asked for from the keyboard belongs to the selected row, not to the mouse pointer.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        RequestMenuAtCurrentRow();
        event->accept();
        return;
    }
    QTreeView::contextMenuEvent(event);
}

void TResultTree::RequestMenuAtCurrentRow() {
    if (currentIndex().isValid())
        scrollTo(currentIndex());
    const QRect row = visualRect(currentIndex());
    const QPoint where = row.isValid() ? QPoint(row.left() + row.height(), row.bottom())
                                       : viewport()->rect().topLeft();
    Q_EMIT customContextMenuRequested(where);
}

bool IsGroupNode(const QModelIndex& node) {
    return node.isValid() && !node.parent().isValid();
}

} // namespace parvex
