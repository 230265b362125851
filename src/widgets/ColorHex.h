#pragma once

#include <QColor>
#include <QString>
#include <optional>

// The one pair of conversions between the colour text of the report ("#1A2B3C": a number sign
// and six hexadecimal digits for red, green and blue) and a display colour.
namespace ColorHex {

// The opaque sRGB colour of the text, or no value. One leading "#" is optional; exactly six
// hexadecimal digits must follow, nothing else (no short forms, no alpha, no spaces or signs).
std::optional<QColor> fromHex(QStringView text);

// "#" and six upper-case digits; opacity is dropped, an invalid colour is written as black.
QString toHex(const QColor &color);

// The outline and handles of selected elements on the canvas.
const QColor &elementSelection();
// Warnings: a name an expression refers to that its dataset lacks, in the expression editor and
// on the canvas.
const QColor &warning();

} // namespace ColorHex
