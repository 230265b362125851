#include "canvas/ResizeHandleKind.h"

#include <algorithm>

namespace {

constexpr double minimumSide = 4;

} // namespace

QRectF liveResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta)
{
    const bool movesLeft =
        kind == ResizeHandleKind::topLeft || kind == ResizeHandleKind::bottomLeft;
    const bool movesTop = kind == ResizeHandleKind::topLeft || kind == ResizeHandleKind::topRight;
    const double w =
        std::max(start.width() + (movesLeft ? -delta.width() : delta.width()), minimumSide);
    const double h =
        std::max(start.height() + (movesTop ? -delta.height() : delta.height()), minimumSide);
    const double x = movesLeft ? start.x() + start.width() - w : start.x();
    const double y = movesTop ? start.y() + start.height() - h : start.y();
    return QRectF(x, y, w, h);
}
