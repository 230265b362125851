#include "canvas/BandGeometry.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/ElementFaceGeometry.h"

#include <algorithm>
#include <cmath>

namespace bandgeometry {

QList<double> gridLines(double gridSize, double length)
{
    return gridLines(gridSize, length, 0, length + 0.5);
}

QList<double> gridLines(double gridSize, double length, double from, double to)
{
    QList<double> lines;
    if (gridSize < 2 || length <= 0 || !(from <= to))
        return lines;
    const double n = std::max(std::round(length / gridSize), 1.0);
    const double step = length / n;
    // The lines lie at whole multiples of the step, up to half a point past the end.
    const double first = std::max(0.0, std::ceil(from / step));
    const double last = std::min(std::floor(std::min(to, length + 0.5) / step), n + 1);
    for (double i = first; i <= last; ++i) {
        const double at = i * step;
        if (at > length + 0.5)
            break;
        lines.append(at);
    }
    return lines;
}

QRectF rubberBandRect(QPointF start, QPointF current)
{
    return QRectF(std::min(start.x(), current.x()), std::min(start.y(), current.y()),
                  std::abs(current.x() - start.x()), std::abs(current.y() - start.y()));
}

bool pressHitsElement(QPointF point, const ElementList &elements)
{
    return std::any_of(elements.cbegin(), elements.cend(), [point](const ReportElement &e) {
        return ElementFaceGeometry::drawnFrame(e.width, e.height)
            .translated(e.x, e.y)
            .contains(point);
    });
}

double handleMinimum(double holding, double tallest)
{
    return std::max(holding, std::min(canvas::minimumBodyHeight, tallest));
}

double committedHeight(double height, double dragPoints, const std::function<double(double)> &snap,
                       double minimum)
{
    return std::max(minimum, snap(height + dragPoints));
}

QPointF dropOrigin(QPointF drop, double back, double up,
                   const std::function<double(double, double)> &snapAlong, double bandWidth,
                   double bandHeight)
{
    return QPointF(snapAlong(std::max(drop.x() - back, 0.0), bandWidth),
                   snapAlong(std::max(drop.y() - up, 0.0), bandHeight));
}

} // namespace bandgeometry
