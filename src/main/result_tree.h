#pragma once

#include <QTreeView>

class QContextMenuEvent;
class QKeyEvent;

namespace parvex {

/// The result tree: groups at the top level, their files below, in columns; reports the Enter
/// and Copy keys, asks for the context menu at the selected row on the Menu key and Shift+F10,
/// toggles the selected file's mark on Space, and lets a file row be dragged out.
class TResultTree : public QTreeView {
    Q_OBJECT
public:
    explicit TResultTree(QWidget* parent = nullptr);

    /// Shows the model and fits the columns: the first stretches, the others fit their content.
    void setModel(QAbstractItemModel* model) override;
    /// The width a column's content needs, with a gap of two characters before a number column,
    /// so that neighbouring right-aligned numbers do not run together.
    int sizeHintForColumn(int column) const override;

Q_SIGNALS:
    /// Raised for Enter or Return, whatever the modifiers, before the key takes its usual effect.
    void EnterPressed();
    /// Raised for the Copy key (Ctrl+C) in place of the view's own copy of the cell's text.
    void CopyPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Raises customContextMenuRequested at the current row, in viewport coordinates.
    void RequestMenuAtCurrentRow();
};

/// True for a group node, that is a node without parent; false for none.
bool IsGroupNode(const QModelIndex& node);

} // namespace parvex
