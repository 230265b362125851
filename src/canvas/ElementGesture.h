#pragma once

#include "canvas/CrossBandDragState.h"
#include "canvas/ResizeHandleKind.h"
#include "model/ReportBand.h"
#include "model/ReportElement.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QUuid>
#include <limits>
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

// The element's place and size as printed (a line's side of no length is one point), in the
// points of its band or container.
QRectF frameOf(const ReportElement &element);

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

// The band an element moves or is resized in: its width and height, along which places snap,
// and the highest it may grow to hold the element (the store's tallestHeight()). An element in a
// frame or list grows no band: its band sets no such limit.
struct BandRoom {
    double width = 0;
    double height = 0;
    double tallest = std::numeric_limits<double>::infinity();
};

// A position over a band, snapped along the band's width and height (not clamped at 0), but
// never so low that the band would have to grow past its tallest to hold an element `height`
// high: there it stops.
QPointF snappedOrigin(QPointF position, double height, const BandSettings &settings,
                      const BandRoom &band);

// A frame's place moved by `delta` points: snapped and stopped as snappedOrigin() does, never
// below 0. Along an axis the pointer did not travel (no delta) the place stays as it is.
QPointF movedOrigin(const QRectF &frame, QSizeF delta, const BandSettings &settings,
                    const BandRoom &band);

// How far down, in points, the frame may move in a band that may grow to `tallest`: below that
// the band could not hold it. Negative for a frame that already reaches lower (a file's).
double roomBelow(const QRectF &frame, double tallest);

// A side snapped to the grid. Snapping may round a short side below the minimum (4 points on a
// grid of 10 becomes 0); such a side becomes the smallest whole number of grid steps that
// reaches the minimum, or the minimum itself when snapping is off.
double snappedSide(double side, const BandSettings &settings);

// The pointer's travel as far as the handle may take the frame: a bottom edge stops where the
// band would have to grow past `tallest` to hold it. Travel that shrinks the frame, or moves
// another edge, is kept.
QSizeF stoppedResizeDelta(ResizeHandleKind kind, const QRectF &start, QSizeF delta, double tallest);

// The frame a finished resize stores: only the edges the handle moves, and only along the axes
// the pointer travelled, change; every other edge keeps its place from `current`. A moved left
// or top edge is snapped along the band and the opposite edge stays where it was; the side the
// handle lengthens or shortens is snapped to the grid (never below the smallest side), and a
// bottom edge stops where the band may grow no further. Positions are not clamped: a resize past
// the band's left or top edge stores negative values.
QRectF committedResizeFrame(ResizeHandleKind kind, const QRectF &start, QSizeF delta,
                            const QRectF &current, const BandSettings &settings,
                            const BandRoom &band);

// The centre of a resized frame in canvas view coordinates.
QPointF frameCenter(const QRectF &frame, QPointF homeFrameOrigin, double zoom);

} // namespace gesture
