#pragma once

#include "canvas/CrossBandDragState.h"
#include "canvas/ResizeHandleKind.h"
#include "model/ReportBand.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QUuid>
#include <optional>

class BandSettings;

// The arithmetic of moving and resizing an element with the pointer. Pointer locations are in
// canvas view coordinates (zoom and scroll included); element positions in report points.
namespace gesture {

// How far the pointer must travel, in view points, before a press on an element is a drag.
constexpr double dragThreshold = 2;
// The same for a press on a resize handle.
constexpr double resizeThreshold = 1;
// A pointer travel in view points as points of the report.
QSizeF toPoints(QPointF translation, double zoom);

// The point of the element that lies under the pointer, measured from the element's top-left
// corner: the press location relative to the element's own band frame, minus the element's
// position.
QPointF grabOffset(QPointF startLocation, QPointF homeFrameOrigin, double zoom,
                   QPointF elementOrigin);

// The element's top-left corner, in the points of the band whose frame begins at
// `frameOrigin`, while the pointer is at `location` and holds the element at `grab`.
QPointF bandPosition(QPointF location, QPointF frameOrigin, double zoom, QPointF grab);

// Whether a frame lies wholly inside a band of that width and height.
bool fitsInBand(const QRectF &frame, double bandWidth, double bandHeight);

// What a drag step knows about the pointer and the element.
struct DragStep {
    QUuid elementID;
    QPointF location;
    // The band under the pointer, if any, and the dragged element's own band.
    std::optional<BandTarget> over;
    BandTarget own;
    // The ids of the selection, in the selection's order.
    QList<QUuid> selection;
    // Whether the element, moved to the pointer, would lie inside its own band; no value when
    // the own band's frame is unknown.
    std::optional<bool> fitsOwnBand;
};

// The ghost state after a drag step, given the state before it.
CrossBandDragState::Value dragChange(const CrossBandDragState::Value &current,
                                     const DragStep &step);

// The ghost state after a resize step: the element hidden behind a ghost at `ghostCenter`
// while its frame leaves the band, else no ghost. The carried-along group is left as it is.
CrossBandDragState::Value resizeChange(const CrossBandDragState::Value &current,
                                       const QUuid &elementID, bool fits, QPointF ghostCenter);

// What releasing a dragged element does.
enum class Drop {
    // The selected top-level elements go to the band under the pointer, as one undo step.
    selectionToBand,
    // Every selected element moves by the pointer's travel, as one undo step.
    selectionInBand,
    // The element leaves its band for the one under the pointer, as one undo step.
    elementToBand,
    // A child of a frame or list released over another band goes back where it was.
    childStays,
    // The element moves by the pointer's travel within its band, as a coalesced edit.
    elementInBand,
};

// `isMultiSelection`: the element is selected together with others. `overOtherBand`: the
// pointer is over a band other than the element's own, and both bands' frames are known.
Drop dropDecision(bool isMultiSelection, bool overOtherBand, bool isTopLevel);

// A position moved by `delta` points: snapped along the band's width and height, never below
// 0.
QPointF movedOrigin(QPointF origin, QSizeF delta, const BandSettings &settings, double bandWidth,
                    double bandHeight);

// A position over a band, snapped along that band's width and height (not clamped).
QPointF snappedOrigin(QPointF position, const BandSettings &settings, double bandWidth,
                      double bandHeight);

// A side snapped to the grid. Snapping may round a short side below the minimum (4 points on a
// grid of 10 becomes 0); such a side becomes the smallest whole number of grid steps that
// reaches the minimum, or the minimum itself when snapping is off.
double snappedSide(double side, const BandSettings &settings);

// The frame a finished resize stores: only the edges the handle moves change. A moved left or
// top edge is snapped along the band and the opposite edge stays where it was; an edge the
// handle does not move keeps its place from `current`, and the side the handle lengthens or
// shortens is snapped to the grid (never below the smallest side). Positions are not clamped: a
// resize past the band's left or top edge stores negative values.
QRectF committedResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta,
                            QPointF current, const BandSettings &settings, double bandWidth,
                            double bandHeight);

// The centre of a resized frame in canvas view coordinates.
QPointF frameCenter(const QRectF &frame, QPointF homeFrameOrigin, double zoom);

} // namespace gesture
