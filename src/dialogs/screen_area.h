#pragma once

#include <QRect>
#include <functional>

class QWidget;

namespace parvex {

/// Where the windows of the program may go on the screen of a widget: the screen less its
/// panels, in device-independent pixels (so at any scale).
using TAreaSource = std::function<QRect(const QWidget& widget)>;

/// The area the windows may take on the screen of `widget`.
QRect AvailableArea(const QWidget& widget);

/// Replaces where AvailableArea comes from, for as long as this object lives (tests give a
/// screen of their own); the source before comes back afterwards.
class TAreaSourceOverride {
public:
    explicit TAreaSourceOverride(TAreaSource source);
    ~TAreaSourceOverride();
    TAreaSourceOverride(const TAreaSourceOverride&) = delete;
    TAreaSourceOverride& operator=(const TAreaSourceOverride&) = delete;

private:
    TAreaSource before_;
};

/// The room left for a window's client area in the available area of `widget`: the area less
/// the frame that the window manager adds around a window.
QSize ClientRoom(const QWidget& widget);

/// Puts a top-level window wholly inside the available area before it shows: its minimum and
/// its size yield to the area, and it goes centred over its parent window (or the area) and
/// moved inside the area where that is not.
void FitIntoAvailableArea(QWidget& window);

} // namespace parvex
