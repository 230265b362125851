#pragma once

#include "model/ReportDocument.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <optional>

// The arithmetic of drawing an element's face on the canvas, apart from the painting itself.
namespace ElementFaceGeometry {

// Whatever its stored size, an element is drawn and hit-tested at least this wide and high, and
// resizing it never makes a side smaller.
inline constexpr double minimumDrawnSize = 4;
// Texts keep this distance from the left and right edges (none at the top or bottom).
inline constexpr double textInset = 2;

enum class ColorUse {
    // Text, outlines and lines: black when the colour is absent or unreadable.
    stroke,
    // Backgrounds and fills: fully transparent in that case.
    fill,
};
QColor displayColor(const std::optional<ElementColor> &color, ColorUse use);

// The element's frame: its stored size, each side raised to the minimum.
QRectF drawnFrame(double width, double height);

// One of the nine placements of a text block in its frame.
Qt::Alignment frameAlignment(TextAlignment horizontal, VerticalTextAlignment vertical);
// The box a text is laid out in: the frame less the horizontal insets.
QRectF textBox(const QRectF &frame);
// The distance between a text element's default tab stops, as the engine reads it: its own
// paragraph's `tabStopWidth`, else its style's or the styles that one inherits from, else 40.
double tabStopWidth(const ReportElement &element, const QList<ReportStyle> &styles);

// The widths of a table's column boxes in an element `availableWidth` wide: each column's
// share of the sum of all widths (or of 1 when that sum is below 1).
QList<double> tableColumnWidths(const QList<ReportTableColumn> &columns, double availableWidth);

// The segment of a line element of the stored size: none (a null line) for a line no wider and no
// higher than 1 point, which prints nothing. A line as low as 1 point or less runs
// horizontally along its stored width, one as narrow as 1 point or less vertically along its
// stored height; every other line runs from the top-left to the bottom-right corner.
QLineF lineEnds(double width, double height);

// A rectangle or an ellipse of no height or no width: the engine strokes its outline folded onto
// itself, which prints a rule along its other side, `pen` wide, reaching half the pen past the
// end where the outline starts and ends (a rectangle's left or bottom end, an ellipse's right
// end). The rule's ends (a null line: a shape of neither width nor height prints nothing); no
// value for a shape with both sides, which prints its outline.
std::optional<QLineF> foldedShapeRule(double width, double height, double pen, bool ellipse);

} // namespace ElementFaceGeometry
