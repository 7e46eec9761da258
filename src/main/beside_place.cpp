#include "main/beside_place.h"

#include <algorithm>
#include <array>

namespace parvex {

std::optional<QPoint> PlaceBeside(const QRect& keepClear, const QSize& size, const QRect& screen) {
    const int gap = 4;
    // Along the side it goes to, the window lines up with keepClear as far as the screen allows.
    const int top = std::clamp(keepClear.top(), screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - size.height()));
    const int left = std::clamp(keepClear.left(), screen.left(),
                                std::max(screen.left(), screen.right() + 1 - size.width()));
    const std::array<QPoint, 4> candidates = {
        QPoint(keepClear.right() + 1 + gap, top),
        QPoint(keepClear.left() - gap - size.width(), top),
        QPoint(left, keepClear.bottom() + 1 + gap),
        QPoint(left, keepClear.top() - gap - size.height()),
    };
    for (const QPoint& place : candidates)
        if (screen.contains(QRect(place, size)))
            return place;
    return std::nullopt;
}

} // namespace parvex
