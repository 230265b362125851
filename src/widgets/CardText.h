#pragma once

#include <QPalette>
#include <QString>

class QFont;
class QLabel;
class QWidget;

// The small text styles the cards and panels share: the caption sizes and the dimmed secondary
// colour, taken from the palette so that light and dark look alike.
namespace CardText {

inline constexpr double subheadlinePointSize = 13;
inline constexpr double bodyPointSize = 11;
inline constexpr double captionPointSize = 10;
inline constexpr double caption2PointSize = 9;

// `base` at the given point size.
QFont sized(const QFont &base, double pointSize);
// The secondary colour of `group`: the palette's text colour, dimmed.
QColor secondaryColor(const QPalette &palette, QPalette::ColorGroup group = QPalette::Active);
// The orange of warnings, readable on the palette's window colour.
QColor warningColor(const QPalette &palette);
// Shows `label` in the secondary colour: the palette's text colour, dimmed.
void makeSecondary(QLabel *label);
// A section's title: the sub-headline size, bold.
QLabel *subheadline(const QString &text, QWidget *parent = nullptr);
// A wrapping note in caption size and the secondary colour.
QLabel *note(const QString &text, QWidget *parent = nullptr, double pointSize = captionPointSize);
// A wrapping warning in caption size and the warnings' colour, hidden until shown.
QLabel *warning(QWidget *parent = nullptr);
// Shows the text, or hides the label for an empty one.
void showWarning(QLabel *label, const QString &text);

} // namespace CardText
