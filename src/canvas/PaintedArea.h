#pragma once

#include <QRectF>
#include <optional>

class QGraphicsItem;
class QPainter;

// The part of the painter's coordinates that its drawing can change: its clip cut to its
// device. None where nothing bounds it (no clip, and a recorded picture, which takes its size
// from what is drawn into it).
std::optional<QRectF> paintedBound(const QPainter *painter);

// The part of an item, in its own coordinates, that a paint call can change: the exposed
// rectangle within paintedBound(). A scene hands an item that keeps a picture of itself its
// whole bounds as exposed, whatever part of it the view shows: a band of a column two billion
// points wide is painted into a picture no larger than the view.
QRectF paintedArea(const QPainter *painter, const QRectF &exposed);

// The part of `rect`, in the item's own coordinates, that the canvas draws: within
// canvas::farthestDrawn of the page's corner. The view places items in whole pixels of 32 bits:
// an item reaching farther would be left out where it shows, and a picture of it could not be
// made. Cheap for an item smaller than that, which needs no cutting where it can be seen.
QRectF drawnBounds(const QGraphicsItem *item, const QRectF &rect);
