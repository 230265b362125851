#pragma once

#include "model/ReportBand.h"
#include "model/ReportDocument.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

// The page of the design canvas in report points at 100 %: which bands it stacks, how large the
// sheet is, and the zoom rules of its zoom bar and pinch.
namespace canvas {

// Room above each band body for its header strip.
constexpr double headerStripHeight = 14;
// A band body is never drawn lower than this, whatever its stored height.
constexpr double minimumBodyHeight = 4;
// Space around the scaled page inside the scroll area, in view points.
constexpr double scrollPadding = 24;
constexpr double minimumZoom = 0.25;
constexpr double maximumZoom = 3.0;
// How far from the page's corner, in points, the canvas scrolls, and how far it draws: items are
// placed in whole view pixels of 32 bits, at every zoom a pinch reaches, scrolled anywhere. A
// page, band or element larger than this is shown up to there; the report keeps its lengths.
// What is drawn reaches past what can be scrolled to, so that the cut edges are never seen.
constexpr double farthestScrolled = 1 << 27;
constexpr double farthestDrawn = 2 * farthestScrolled;

// The bands drawn, top to bottom: the standard bands in display order, the detail section as
// group headers, detail bands and group footers in reverse group order. A standard band that is
// hidden is left out; one the report does not hold at all is shown.
QList<BandTarget> orderedTargets(const ReportDocument &document);

// The height a band body is drawn with: at least `minimumBodyHeight`.
double drawnBodyHeight(double storedHeight);

struct PageGeometry {
    double contentHeight = 0;
    double pageWidth = 0;
    double pageHeight = 0;
    double printableHeight = 0;
    // The dashed margin rectangle: column wide, printable height tall, at the margin corner.
    QRectF marginRect;
};

// The sheet for the report and the stored heights of its ordered bands (one per target). The
// sheet grows to hold the column and the whole stack of drawn bands, header strips included.
PageGeometry pageGeometry(const ReportDocument &document, const QList<double> &bandHeights);

// The part of a page `pageSize` large, with `padding` points around it, that the scroll area
// scrolls over: the padded page, up to farthestScrolled.
QRectF scrolledArea(QSizeF pageSize, double padding);

// Whether `rect` is larger than the part of the page the canvas draws, in either direction.
bool exceedsDrawn(const QRectF &rect);
// The part of `rect` that is drawn, in coordinates whose origin lies at `origin` on the page:
// `rect` itself when it lies within farthestDrawn, an empty rectangle when it lies beyond.
QRectF drawnPart(const QRectF &rect, QPointF origin);

// The zoom bar's percentage: the live pinch value clamped to 25..300, fraction dropped.
QString zoomPercentText(std::optional<double> pinchStartLevel, double zoomLevel,
                        double pinchMagnification);

// The zoom level a pinch ends at: its magnification times the level it began at, clamped to
// the zoom range and not rounded to a step.
double pinchEndZoom(double magnification, std::optional<double> pinchStartLevel, double zoomLevel);

} // namespace canvas
