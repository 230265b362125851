#pragma once

#include "canvas/PrintedTextLayout.h"

#include <QRectF>
#include <QString>

class QPainter;

// The texts of element faces, laid out once and drawn again from the layout: a canvas of
// thousands of texts repaints many of them at every step of a drag. Holds the layouts of the
// texts drawn last, a bounded number, whatever the report's size. Main thread only.
namespace TextLabelCache {

// Draws `text` in `box` as PrintedTextLayout::draw(painter, box, text, format) does, with the
// painter's font and pen.
void draw(QPainter *painter, const QRectF &box, const QString &text,
          const PrintedTextLayout::Format &format);

} // namespace TextLabelCache
