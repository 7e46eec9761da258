#include "main/status_field.h"

#include <QMouseEvent>

namespace parvex {

TStatusField::TStatusField(const QString& explanation, QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setToolTip(explanation);
    setAccessibleDescription(explanation);
}

void TStatusField::Show(const QString& text) {
    if (text == this->text())
        return;
    setText(text);
    // Setting the name raises the accessible name-changed event.
    setAccessibleName(text);
}

void TStatusField::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    Q_EMIT DoubleClicked();
}

} // namespace parvex
