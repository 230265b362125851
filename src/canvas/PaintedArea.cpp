#include "canvas/PaintedArea.h"

#include "canvas/CanvasGeometry.h"

#include <QGraphicsItem>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <algorithm>

std::optional<QRectF> paintedBound(const QPainter *painter)
{
    // A painter that could not begin (on a picture too large to make) changes nothing.
    if (!painter->isActive())
        return QRectF();
    std::optional<QRectF> bound;
    if (painter->hasClipping())
        bound = painter->clipBoundingRect();
    const QPaintDevice *device = painter->device();
    const QTransform toDevice = painter->deviceTransform();
    if (!device || device->devType() == QInternal::Picture || device->width() <= 0 ||
        device->height() <= 0 || !toDevice.isInvertible())
        return bound;
    // Device pixels, scaled or not: the larger bound holds either way.
    const double ratio = std::max(device->devicePixelRatioF(), 1.0);
    const QRectF pixels(0, 0, device->width() * ratio, device->height() * ratio);
    const QRectF onDevice = toDevice.inverted().mapRect(pixels);
    return bound ? *bound & onDevice : onDevice;
}

QRectF paintedArea(const QPainter *painter, const QRectF &exposed)
{
    const std::optional<QRectF> bound = paintedBound(painter);
    return bound ? exposed & *bound : exposed;
}

QRectF drawnBounds(const QGraphicsItem *item, const QRectF &rect)
{
    // An item no larger than the drawn part of the page is either within reach of the view's
    // pixels where it can be seen, or too far off ever to be scrolled to.
    if (!canvas::exceedsDrawn(rect))
        return rect;
    return canvas::drawnPart(rect, item->scenePos());
}
