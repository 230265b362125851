#include "canvas/ElementGesture.h"

#include "canvas/ElementFaceGeometry.h"
#include "workspace/BandSettings.h"

#include <algorithm>
#include <cmath>

namespace gesture {

QSizeF toPoints(QPointF translation, double zoom)
{
    return QSizeF(translation.x() / zoom, translation.y() / zoom);
}

QPointF grabOffset(QPointF startLocation, QPointF homeFrameOrigin, double zoom,
                   QPointF elementOrigin)
{
    return (startLocation - homeFrameOrigin) / zoom - elementOrigin;
}

QPointF bandPosition(QPointF location, QPointF frameOrigin, double zoom, QPointF grab)
{
    return (location - frameOrigin) / zoom - grab;
}

bool fitsInBand(const QRectF &frame, double bandWidth, double bandHeight)
{
    return frame.x() >= 0 && frame.x() + frame.width() <= bandWidth && frame.y() >= 0 &&
           frame.y() + frame.height() <= bandHeight;
}

CrossBandDragState::Value dragChange(const CrossBandDragState::Value &current, const DragStep &step)
{
    CrossBandDragState::Value next = current;
    const bool isGroupLeader =
        step.selection.size() >= 2 && step.selection.contains(step.elementID);
    if (step.over && !(*step.over == step.own)) {
        next.elementID = step.elementID;
        next.globalLocation = step.location;
        next.isOutOfBounds = false;
        next.groupElementIDs.clear();
        if (isGroupLeader) {
            for (const QUuid &id : step.selection) {
                if (id != step.elementID)
                    next.groupElementIDs.append(id);
            }
        }
        return next;
    }
    if (step.selection.size() >= 2 || !step.fitsOwnBand)
        return CrossBandDragState::Value{};
    if (*step.fitsOwnBand)
        return current.withoutGhost();
    next.elementID = step.elementID;
    next.globalLocation = step.location;
    next.isOutOfBounds = true;
    next.groupElementIDs.clear();
    return next;
}

CrossBandDragState::Value resizeChange(const CrossBandDragState::Value &current,
                                       const QUuid &elementID, bool fits, QPointF ghostCenter)
{
    if (fits)
        return current.withoutGhost();
    CrossBandDragState::Value next = current;
    next.elementID = elementID;
    next.globalLocation = ghostCenter;
    next.isOutOfBounds = true;
    return next;
}

Drop dropDecision(bool isMultiSelection, bool overOtherBand, bool isTopLevel)
{
    if (isMultiSelection)
        return overOtherBand ? Drop::selectionToBand : Drop::selectionInBand;
    if (!overOtherBand)
        return Drop::elementInBand;
    return isTopLevel ? Drop::elementToBand : Drop::childStays;
}

QPointF snappedOrigin(QPointF position, const BandSettings &settings, double bandWidth,
                      double bandHeight)
{
    return QPointF(settings.snapped(position.x(), bandWidth),
                   settings.snapped(position.y(), bandHeight));
}

QPointF movedOrigin(QPointF origin, QSizeF delta, const BandSettings &settings, double bandWidth,
                    double bandHeight)
{
    const QPointF snapped = snappedOrigin(origin + QPointF(delta.width(), delta.height()), settings,
                                          bandWidth, bandHeight);
    return QPointF(std::max(0.0, snapped.x()), std::max(0.0, snapped.y()));
}

double snappedSide(double side, const BandSettings &settings)
{
    constexpr double minimum = ElementFaceGeometry::minimumDrawnSize;
    const double snapped = settings.snapped(side);
    if (snapped >= minimum)
        return snapped;
    const double grid = settings.gridSize();
    if (!settings.isSnapToGridEnabled() || !(grid > 0))
        return minimum;
    return std::ceil(minimum / grid) * grid;
}

QRectF committedResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta,
                            QPointF current, const BandSettings &settings, double bandWidth,
                            double bandHeight)
{
    const QRectF live = liveResizeFrame(kind, start, delta);
    const QPointF origin(movesLeftEdge(kind) ? live.x() : current.x(),
                         movesTopEdge(kind) ? live.y() : current.y());
    return QRectF(
        snappedOrigin(origin, settings, bandWidth, bandHeight),
        QSizeF(snappedSide(live.width(), settings), snappedSide(live.height(), settings)));
}

QPointF frameCenter(const QRectF &frame, QPointF homeFrameOrigin, double zoom)
{
    return homeFrameOrigin + frame.center() * zoom;
}

} // namespace gesture
