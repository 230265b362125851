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
    const QPointF snapped = snappedOrigin(live.topLeft(), settings, bandWidth, bandHeight);
    // Only the edges the handle moves change: a moved left or top edge is snapped and the
    // opposite edge stays; otherwise the place stays and the moved side is snapped.
    const auto axis = [&](bool movesNear, double place, double liveSide, double snappedPlace,
                          double farEdge) {
        if (!movesNear)
            return std::pair(place, snappedSide(liveSide, settings));
        const double side = farEdge - snappedPlace;
        if (side >= ElementFaceGeometry::minimumDrawnSize)
            return std::pair(snappedPlace, side);
        const double least = snappedSide(side, settings);
        return std::pair(farEdge - least, least);
    };
    const auto [x, width] =
        axis(movesLeftEdge(kind), current.x(), live.width(), snapped.x(), start.right());
    const auto [y, height] =
        axis(movesTopEdge(kind), current.y(), live.height(), snapped.y(), start.bottom());
    return QRectF(x, y, width, height);
}

QPointF frameCenter(const QRectF &frame, QPointF homeFrameOrigin, double zoom)
{
    return homeFrameOrigin + frame.center() * zoom;
}

} // namespace gesture
