#pragma once

#include <QLabel>

class QMouseEvent;

namespace parvex {

/// A text field of the status bar that answers a double click. A screen reader reads what it
/// shows as its name, with what the field is about (`explanation`) as its description, and hears
/// of every change.
class TStatusField : public QLabel {
    Q_OBJECT
public:
    explicit TStatusField(const QString& explanation, QWidget* parent = nullptr);

    /// Shows a text and makes it the field's accessible name, which announces the change.
    void Show(const QString& text);

Q_SIGNALS:
    /// The user double-clicked the field.
    void DoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace parvex
