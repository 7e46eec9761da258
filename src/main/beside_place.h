#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace parvex {

/// Where a window of `size` goes so that it covers nothing of `keepClear` and stays on `screen`:
/// right of it, else left, else below, else above; none when no side has room.
std::optional<QPoint> PlaceBeside(const QRect& keepClear, const QSize& size, const QRect& screen);

} // namespace parvex
