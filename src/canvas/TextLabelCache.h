#pragma once

#include <QFont>
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
// A text of many thousands of characters, longer than the box can show, is drawn from the part
// of it that fills the box (exactly so for left-aligned text).
void draw(QPainter *painter, const QRectF &box, int flags, const QString &text);

// How much of a text, wrapped at word boundaries, can show in a box in a font: at most `row`
// characters on one row, and `length` characters fill every row.
struct ShownPart {
    qsizetype row = 0;
    qsizetype length = 0;
};
ShownPart shownPart(const QFont &font, const QSizeF &box);
// The part of `text` that shows what `text` shows in such a box: the text itself when it is no
// longer than `part.length`, else at most that many of its first characters, an overlong word
// cut to one row.
QString shownText(const QString &text, const ShownPart &part);

} // namespace TextLabelCache
