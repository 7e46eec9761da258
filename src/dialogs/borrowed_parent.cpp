#include "dialogs/borrowed_parent.h"

namespace parvex {

TBorrowedParent::TBorrowedParent(QWidget& dialog, QWidget& window)
    : dialog_(&dialog), owner_(dialog.parentWidget()) {
    if (owner_ == &window)
        return;
    // The flags go along, so the dialog stays a window of its own under its new parent.
    dialog.setParent(&window, dialog.windowFlags());
    lent_ = true;
}

TBorrowedParent::~TBorrowedParent() {
    if (lent_ && dialog_)
        dialog_->setParent(owner_, dialog_->windowFlags());
}

} // namespace parvex
