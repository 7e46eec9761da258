#include "main/status_field.h"

#include <QMouseEvent>

namespace parvex {

TStatusField::TStatusField(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
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
