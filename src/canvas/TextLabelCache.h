#pragma once

#include <QRectF>
#include <QString>
#include <Qt>

class QPainter;

// The texts of element faces, laid out once and drawn again from the layout: a canvas of
// thousands of texts repaints many of them at every step of a drag. Holds the layouts of the
// texts drawn last, a bounded number, whatever the report's size. Main thread only.
namespace TextLabelCache {

// Draws `text` in `box` as QPainter::drawText(box, flags, text) does with the painter's font and
// pen, for flags of one horizontal and one vertical alignment, with or without word wrap.
void draw(QPainter *painter, const QRectF &box, int flags, const QString &text);

} // namespace TextLabelCache
