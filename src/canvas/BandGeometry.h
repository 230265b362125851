#pragma once

#include "model/ReportElement.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <functional>

// The band's own geometry rules, in points from the top-left corner of its body.
namespace bandgeometry {

// The body's time window for a double click on empty band area.
constexpr qint64 doubleClickMs = 400;
// The height handle: a strip along the band's bottom edge, reaching this far into the band,
// where it yields to whatever takes presses itself (elements, their handles)...
constexpr double handleReachInside = 8;
// ...and this far below the edge, over the top of the next band's header strip, where it takes
// every press but one on a button: there it reaches the band whatever lies in it.
constexpr double handleReachBelow = 4;

// Where the grid's lines lie along one axis: the grid is stretched so that a whole number of
// steps (halves rounded away from zero, at least one) fills `length`. None when the grid is
// smaller than 2 or the length is not positive.
QList<double> gridLines(double gridSize, double length);
// The same lines, only those from `from` to `to`: a tall band draws its grid where it is seen,
// at a cost that does not grow with the band.
QList<double> gridLines(double gridSize, double length, double from, double to);

// The rubber band between its start and the pointer.
QRectF rubberBandRect(QPointF start, QPointF current);

// Whether a press at `point` lands on one of the band's top-level elements, each taken at
// least 4 by 4 points large.
bool pressHitsElement(QPointF point, const ElementList &elements);

// The least height a handle drag commits: 4, or the lowest element's bottom (`holding`) where
// that is lower; but where the page holds the band less than 4 high (`tallest`, what it may grow
// to), no more than that.
double handleMinimum(double holding, double tallest);

// The height a handle drag commits: the band's height plus the drag, snapped, but at least
// `minimum` (handleMinimum).
double committedHeight(double height, double dragPoints, const std::function<double(double)> &snap,
                       double minimum);

// The top-left corner of an element dropped at `drop`: `back` points left of and `up` points
// above it, never left of or above the band's origin, snapped along the band's axes.
QPointF dropOrigin(QPointF drop, double back, double up,
                   const std::function<double(double, double)> &snapAlong, double bandWidth,
                   double bandHeight);

} // namespace bandgeometry
