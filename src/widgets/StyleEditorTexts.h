#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// What the style editors decide without widgets: the font options, the size text, the cycle of
// the three-state toggles and the usage line of a style.
namespace StyleEditorTexts {

// The eight font names every font picker of a style offers, in their order.
const QStringList &fontNames();
// The font names, and the current name as a ninth option when it is not among them (the exact
// text: a style read from a file may name any font, or none).
QStringList fontOptions(const QString &current);

// A size as the size field shows it in the locale ("10", "10.5").
QString shownSize(double size, const QLocale &locale = QLocale());
// The size the text stands for in the locale, or no value when it is not a number. Zero,
// negative and fractional sizes are sizes like any other.
std::optional<double> parsedSize(const QString &text, const QLocale &locale = QLocale());

// The next state of a three-state toggle: unset, on, off, unset.
std::optional<bool> nextToggleState(const std::optional<bool> &state);

// "1 element uses this style", "N elements use this style".
QString usageLine(int count);

inline const QString applyHint = QStringLiteral("Select an element on canvas to apply this style");
inline const QString toggleHelp = QStringLiteral("Click to cycle: unset -> on -> off -> unset");

} // namespace StyleEditorTexts
