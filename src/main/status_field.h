#pragma once

#include <QLabel>

class QMouseEvent;

namespace parvex {

/// A text field of the status bar that answers a double click.
class TStatusField : public QLabel {
    Q_OBJECT
public:
    explicit TStatusField(QWidget* parent = nullptr);

Q_SIGNALS:
    /// The user double-clicked the field.
    void DoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace parvex
