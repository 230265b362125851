#pragma once

#include <QRectF>

class QPainter;

// The outline an element shows around its box, thicker and in the selection colour while it is
// selected, and the corner handles a selected element draws itself. A page of thousands of
// elements of a few sizes draws it at every repaint: it is drawn once for each size, scale and
// place within a device pixel, and copied from that picture afterwards.
namespace ElementFrame {

// Draws the outline of `box` (the element's points) with the painter, and the handles when
// `handles`. A painter that turns or shears draws it directly.
void draw(QPainter *painter, const QRectF &box, bool selected, bool handles);

// The same drawn directly, without a picture.
void paint(QPainter *painter, const QRectF &box, bool selected, bool handles);

// The outline alone, drawn directly: in the warning colour when `warned` and not selected.
void paintOutline(QPainter *painter, const QRectF &box, bool selected, bool warned = false);
// The corner handles alone, drawn directly.
void paintHandles(QPainter *painter, const QRectF &box);

} // namespace ElementFrame
