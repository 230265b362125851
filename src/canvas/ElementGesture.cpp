#include "canvas/ElementGesture.h"

#include "canvas/ElementFaceGeometry.h"
#include "model/PageLayout.h"
#include "workspace/BandSettings.h"

#include <algorithm>
#include <cmath>

namespace gesture {

QSizeF toPoints(QPointF translation, double zoom)
{
    return QSizeF(translation.x() / zoom, translation.y() / zoom);
}

QRectF frameOf(const ReportElement &element)
{
    return QRectF(element.x, element.y, element.printedWidth(), element.printedHeight());
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

QPointF snappedOrigin(QPointF position, double height, const BandSettings &settings,
                      const BandRoom &band)
{
    return QPointF(settings.snapped(position.x(), band.width),
                   std::min(settings.snapped(position.y(), band.height),
                            PageLayout::wholePointsBelow(band.tallest, height)));
}

QPointF movedOrigin(const QRectF &frame, QSizeF delta, const BandSettings &settings,
                    const BandRoom &band)
{
    const QPointF moved = snappedOrigin(frame.topLeft() + QPointF(delta.width(), delta.height()),
                                        frame.height(), settings, band);
    // An axis the pointer did not travel keeps its place, on the grid or off it.
    return QPointF(delta.width() == 0 ? frame.x() : std::max(0.0, moved.x()),
                   delta.height() == 0 ? frame.y() : std::max(0.0, moved.y()));
}

double roomBelow(const QRectF &frame, double tallest)
{
    return PageLayout::wholePointsBelow(tallest, frame.height()) - frame.y();
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

QSizeF stoppedResizeDelta(ResizeHandleKind kind, const QRectF &start, QSizeF delta, double tallest)
{
    if (movesTopEdge(kind))
        return delta;
    // A frame that already reaches lower (a file's) may stay where it is.
    const double room =
        std::max(PageLayout::wholePointsBelow(tallest, start.y()) - start.height(), 0.0);
    return QSizeF(delta.width(), std::min(delta.height(), room));
}

QRectF committedResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta,
                            const QRectF &current, const BandSettings &settings,
                            const BandRoom &band)
{
    const QRectF live = liveResizeFrame(kind, start, delta);
    // Only the edges the handle moves change, and only along an axis the pointer travelled: a
    // moved left or top edge is snapped and the opposite edge stays; otherwise the place stays
    // and the moved side is snapped.
    const auto axis = [&](bool travelled, bool movesNear, double place, double side,
                          double liveSide, double snappedPlace, double farEdge) {
        if (!travelled)
            return std::pair(place, side);
        if (!movesNear)
            return std::pair(place, snappedSide(liveSide, settings));
        const double moved = farEdge - snappedPlace;
        if (moved >= ElementFaceGeometry::minimumDrawnSize)
            return std::pair(snappedPlace, moved);
        const double least = snappedSide(moved, settings);
        return std::pair(farEdge - least, least);
    };
    const auto [x, width] =
        axis(delta.width() != 0, movesLeftEdge(kind), current.x(), current.width(), live.width(),
             settings.snapped(live.x(), band.width), start.right());
    auto [y, height] = axis(delta.height() != 0, movesTopEdge(kind), current.y(), current.height(),
                            live.height(), settings.snapped(live.y(), band.height), start.bottom());
    // A bottom edge the handle pulled down stops where the band may grow no further.
    if (delta.height() > 0 && !movesTopEdge(kind))
        height = std::min(
            height, std::max(PageLayout::wholePointsBelow(band.tallest, y), current.height()));
    return QRectF(x, y, width, height);
}

QPointF frameCenter(const QRectF &frame, QPointF homeFrameOrigin, double zoom)
{
    return homeFrameOrigin + frame.center() * zoom;
}

} // namespace gesture
