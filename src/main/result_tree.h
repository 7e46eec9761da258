#pragma once

#include <QTreeWidget>

class QKeyEvent;

namespace parvex {

/// The result tree: groups at the top level, their files below; reports the Enter key.
class TResultTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TResultTree(QWidget* parent = nullptr);

Q_SIGNALS:
    /// Raised for Enter or Return, whatever the modifiers, before the key takes its usual effect.
    void EnterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

/// True for a group node, that is a node without parent; false for none.
bool IsGroupNode(const QTreeWidgetItem* node);

} // namespace parvex
