#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;
class QStyleOptionViewItem;

// What the rows of the outline and the project explorer draw alike: symbols in one colour, kept
// once made since rows are painted on every scroll step, and the rounded fills of selected and
// open rows.
namespace TreeRowPainter {

// The symbol `pixels` wide and tall in `color`; a null pixmap for an unknown symbol.
QPixmap symbol(const QString &name, int pixels, qreal devicePixelRatio, const QColor &color);
// The symbol turned a quarter turn clockwise about its centre.
QPixmap turnedSymbol(const QString &name, int pixels, qreal devicePixelRatio, const QColor &color);
// A rectangle with corners of radius 4 filled with `color`.
void fillRounded(QPainter &painter, const QRectF &rect, const QColor &color);
// A thin accent outline around the current row while the keyboard moves through the tree.
void drawKeyboardFocus(QPainter &painter, const QRectF &rect, const QStyleOptionViewItem &option);
// `color` at the given opacity.
QColor withAlpha(QColor color, double alpha);

} // namespace TreeRowPainter
