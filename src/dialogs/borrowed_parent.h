#pragma once

#include <QPointer>
#include <QWidget>

namespace parvex {

/// Lends a shared dialog to the window that opens it, for as long as this object lives: the dialog
/// becomes that window's child, so it stays above it and is centred over it; then it goes back
/// to its owner.
class TBorrowedParent {
public:
    /// Makes `window` the parent of `dialog` until this object ends.
    TBorrowedParent(QWidget& dialog, QWidget& window);
    ~TBorrowedParent();
    TBorrowedParent(const TBorrowedParent&) = delete;
    TBorrowedParent& operator=(const TBorrowedParent&) = delete;

private:
    QPointer<QWidget> dialog_;
    QPointer<QWidget> owner_;
    bool lent_ = false;
};

} // namespace parvex
