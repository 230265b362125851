#pragma once

#include <QList>
#include <QRectF>

class QPainter;
class QPen;

// The snap grid of a band: vertical lines at `xs` from the top of `seen` to its bottom and
// horizontal lines at `ys` from its left to its right, stroked with one pen.
namespace GridStroke {

// How wide, in device pixels, the columns are in which `paint` draws the grid on a screen.
inline constexpr int columnWidth = 64;

// Draws the grid as one path. The raster engine hands the pixels of a wide grid to its thread
// pool in many small batches, row by row, which costs far more than the pixels themselves: on
// a busy machine, the grid alone can take as long as thousands of texts.
void paintWhole(QPainter *painter, const QRectF &seen, const QList<double> &xs,
                const QList<double> &ys, const QPen &pen);

// Draws the picture of `paintWhole` (but for a few levels of rounding), column by column of the
// screen, each clipped to its column and made of the lines that reach into it: a row of a
// column holds too few pixels for the thread pool. Draws through `paintWhole` where the columns do
// not apply (a rotated, mirrored or printed picture, or a narrow one).
void paint(QPainter *painter, const QRectF &seen, const QList<double> &xs, const QList<double> &ys,
           const QPen &pen);

// The snap grid of a band body, `body` in the item's coordinates, laid out as
// bandgeometry::gridLines lays it out with steps of about `gridSize`, over the part of the body
// that the painter changes (paintedArea of `exposed`): how many lines, and what they cost, follow
// that part alone, however wide or high the band.
struct BandLines {
    QRectF seen;
    QList<double> xs, ys;
};
BandLines bandLines(const QPainter *painter, const QRectF &exposed, const QRectF &body,
                    double gridSize);
void paintBand(QPainter *painter, const QRectF &exposed, const QRectF &body, double gridSize,
               const QPen &pen);

} // namespace GridStroke
