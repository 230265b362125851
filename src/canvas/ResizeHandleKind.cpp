#include "canvas/ResizeHandleKind.h"

#include "canvas/ElementFaceGeometry.h"

#include <algorithm>

QRectF liveResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta)
{
    constexpr double minimum = ElementFaceGeometry::minimumDrawnSize;
    const bool movesLeft = movesLeftEdge(kind);
    const bool movesTop = movesTopEdge(kind);
    const double w =
        std::max(start.width() + (movesLeft ? -delta.width() : delta.width()), minimum);
    const double h =
        std::max(start.height() + (movesTop ? -delta.height() : delta.height()), minimum);
    const double x = movesLeft ? start.x() + start.width() - w : start.x();
    const double y = movesTop ? start.y() + start.height() - h : start.y();
    return QRectF(x, y, w, h);
}
