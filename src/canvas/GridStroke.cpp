#include "canvas/GridStroke.h"

#include "canvas/BandGeometry.h"
#include "canvas/PaintedArea.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The lines of the grid that reach from `left` to `right`, the horizontal ones only as far.
QPainterPath gridPath(const QRectF &seen, const QList<double> &xs, const QList<double> &ys,
                      double left, double right)
{
    QPainterPath path;
    for (double x : xs) {
        if (x < left || x > right)
            continue;
        path.moveTo(x, seen.top());
        path.lineTo(x, seen.bottom());
    }
    const double from = std::max(seen.left(), left);
    const double to = std::min(seen.right(), right);
    if (from <= to) {
        for (double y : ys) {
            path.moveTo(from, y);
            path.lineTo(to, y);
        }
    }
    return path;
}

} // namespace

namespace GridStroke {

void paintWhole(QPainter *painter, const QRectF &seen, const QList<double> &xs,
                const QList<double> &ys, const QPen &pen)
{
    const double everywhere = std::numeric_limits<double>::infinity();
    painter->strokePath(gridPath(seen, xs, ys, -everywhere, everywhere), pen);
}

void paint(QPainter *painter, const QRectF &seen, const QList<double> &xs, const QList<double> &ys,
           const QPen &pen)
{
    const QTransform device = painter->deviceTransform();
    const QPaintEngine *engine = painter->paintEngine();
    const double scaleX = device.m11();
    const double scaleY = device.m22();
    // Lines just outside `seen` are drawn as well.
    QRectF reached = seen;
    if (!xs.isEmpty()) {
        const auto [least, most] = std::minmax_element(xs.cbegin(), xs.cend());
        reached.setLeft(std::min(reached.left(), *least));
        reached.setRight(std::max(reached.right(), *most));
    }
    if (!ys.isEmpty()) {
        const auto [least, most] = std::minmax_element(ys.cbegin(), ys.cend());
        reached.setTop(std::min(reached.top(), *least));
        reached.setBottom(std::max(reached.bottom(), *most));
    }
    const QRectF shown = device.mapRect(reached);
    if (!engine || engine->type() != QPaintEngine::Raster || device.type() > QTransform::TxScale ||
        scaleX <= 0 || scaleY <= 0 || shown.width() <= 2 * columnWidth) {
        paintWhole(painter, seen, xs, ys, pen);
        return;
    }
    // How far, in the item's points, a line's pixels can reach: its half width, the pixel its
    // edge falls into and one more. Lines and line ends farther out of a column than this leave
    // the column's pixels as they are.
    const double reachPixels = pen.widthF() * std::max(scaleX, scaleY) + 2;
    const double reachX = reachPixels / scaleX;
    const double reachY = reachPixels / scaleY;
    // Columns only where the painter can change pixels.
    double from = shown.left() - reachPixels;
    double to = shown.right() + reachPixels;
    if (const std::optional<QRectF> bound = paintedBound(painter)) {
        const QRectF pixels = device.mapRect(*bound);
        from = std::max(from, pixels.left() - reachPixels);
        to = std::min(to, pixels.right() + reachPixels);
    }
    if (!(from < to))
        return;
    const int first = int(std::floor(from));
    const int last = int(std::ceil(to));
    for (int column = first; column < last; column += columnWidth) {
        // The column's edges lie on pixel edges, so that a pixel belongs to one column alone.
        const double left = (column - device.dx()) / scaleX;
        const double right = (std::min(column + columnWidth, last) - device.dx()) / scaleX;
        const QPainterPath part = gridPath(seen, xs, ys, left - reachX, right + reachX);
        if (part.isEmpty())
            continue;
        painter->save();
        painter->setClipRect(
            QRectF(left, reached.top() - reachY, right - left, reached.height() + 2 * reachY),
            Qt::IntersectClip);
        painter->strokePath(part, pen);
        painter->restore();
    }
}

BandLines bandLines(const QPainter *painter, const QRectF &exposed, const QRectF &body,
                    double gridSize)
{
    BandLines lines;
    lines.seen = paintedArea(painter, exposed).intersected(body);
    if (lines.seen.isEmpty())
        return lines;
    const QRectF &seen = lines.seen;
    lines.xs = bandgeometry::gridLines(gridSize, body.width(), seen.left() - body.left() - 1,
                                       seen.right() - body.left() + 1);
    for (double &x : lines.xs)
        x += body.left();
    lines.ys = bandgeometry::gridLines(gridSize, body.height(), seen.top() - body.top() - 1,
                                       seen.bottom() - body.top() + 1);
    for (double &y : lines.ys)
        y += body.top();
    return lines;
}

void paintBand(QPainter *painter, const QRectF &exposed, const QRectF &body, double gridSize,
               const QPen &pen)
{
    const BandLines lines = bandLines(painter, exposed, body, gridSize);
    if (!lines.seen.isEmpty())
        paint(painter, lines.seen, lines.xs, lines.ys, pen);
}

} // namespace GridStroke
