#pragma once

#include "model/MeasurementUnit.h"
#include "model/ReportElement.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

// One side of an element's box, in the order the box editors list, show and edit them.
enum class BoxSide { top, left, bottom, right };

inline size_t qHash(BoxSide side, size_t seed = 0)
{
    return ::qHash(static_cast<int>(side), seed);
}

using BoxSideSet = QSet<BoxSide>;

// What the padding and borders editors read and change of an element, and the texts they show.
// An element's paddings are its four padding fields; its borders are its four side pens, a side
// without a pen having no border.
namespace BoxSides {

// Every side, in order: top, left, bottom, right.
QList<BoxSide> all();
// "Top", "Left", "Bottom", "Right".
QString displayName(BoxSide side);
// The sides of the set in the order of all(), whatever order they were chosen in.
QList<BoxSide> listed(const BoxSideSet &sides);

double padding(const ReportElement &element, BoxSide side);
const std::optional<BoxSidePen> &pen(const ReportElement &element, BoxSide side);
// The sides that have a pen.
BoxSideSet bordered(const ReportElement &element);

// The padding of every side in `sides` becomes `points`.
void setPadding(ReportElement &element, const BoxSideSet &sides, double points);
// A side selected by a click keeps its pen or gets a new one (width 1, no colour, solid); a side
// deselected by a click loses its pen with its width, colour and style.
void toggleBorder(ReportElement &element, BoxSide side, bool nowSelected);
// Changes the pen of every side in `sides` that has one; sides without a pen stay without.
void changePens(ReportElement &element, const BoxSideSet &sides,
                const std::function<void(BoxSidePen &)> &change);
void setPenWidth(ReportElement &element, const BoxSideSet &sides, double width);
void setPenStyle(ReportElement &element, const BoxSideSet &sides, PenLineStyle style);
void setPenColor(ReportElement &element, const BoxSideSet &sides, const ElementColor &color);

// A length shown as a whole number of points (see measurement::wholePoints).
using measurement::wholePoints;

// The value a stepper moves to from `value` by `steps` steps of `step`, kept within
// [minimum, maximum]. A value that is not a number starts from the minimum.
double stepped(double value, int steps, double step, double minimum, double maximum);

// The stepper ranges of the two panels.
inline constexpr double paddingMaximum = 100;
inline constexpr double paddingStep = 1;
inline constexpr double penWidthMaximum = 20;
inline constexpr double penWidthStep = 0.5;

// "Editing: " and the sides' names in order, joined with ", ".
QString editingCaption(const BoxSideSet &sides);
QString paddingHint();
QString bordersHint();
// "Select Top padding (currently 0pt)", "Deselect …" for a selected side.
QString paddingBarHelp(BoxSide side, bool selected, double points);
// "Add the Top border", "Remove the Top border" for a selected side.
QString borderBarHelp(BoxSide side, bool selected);
// The padding stepper's label, "4 pt".
QString paddingLabel(double points);
// The pen width stepper's label, "1.0 pt".
QString penWidthLabel(double width);

} // namespace BoxSides
