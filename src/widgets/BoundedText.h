#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

// A value shown in a row, a tab or a box shows only as much as fits: what fits is measured on a
// prefix of it no longer than the room can hold, so a text of millions of characters costs what
// a screenful costs.
namespace BoundedText {

// The most characters of any text in `font` that one row `width` wide can hold: no glyph of a
// text font is narrower than a quarter of its average character.
qsizetype rowCapacity(const QFont &font, double width);

// QFontMetrics::elidedText(text, Qt::ElideRight, width) of a text of any length.
QString elided(const QFontMetrics &metrics, const QString &text, int width);

} // namespace BoundedText
