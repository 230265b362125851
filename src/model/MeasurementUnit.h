#pragma once

#include "RawEnum.h"

#include <QLocale>
#include <cmath>
#include <optional>

// The unit in which lengths are shown and typed; the model always holds points.
enum class MeasurementUnit { pixels, inches, millimeters, centimeters, meters };
QUILLMARK_ENUM_TEXTS(MeasurementUnit, {MeasurementUnit::pixels, "Pixels"},
                     {MeasurementUnit::inches, "Inches"},
                     {MeasurementUnit::millimeters, "Millimeters"},
                     {MeasurementUnit::centimeters, "Centimeters"},
                     {MeasurementUnit::meters, "Meters"});

namespace measurement {

double pointsPerUnit(MeasurementUnit unit);
int decimalsShown(MeasurementUnit unit);
// "in", "mm", "cm", "m"; empty for pixels.
QString suffix(MeasurementUnit unit);

// The length as a field shows it: in the unit, with exactly the unit's decimals, in the locale's
// format without grouping.
QString format(double points, MeasurementUnit unit, const QLocale &locale = QLocale());

// What committing the typed text reports: the new length in points, or no value when the text
// does not read as a finite number, gives a length too large to hold, or gives exactly the
// length already held.
std::optional<double> committedPoints(const QString &text, double points, MeasurementUnit unit,
                                      const QLocale &locale = QLocale());

// A length shown as a whole number of points: truncated toward zero. A value beyond what a
// whole number holds shows the nearest one that is, and one that is not a number shows 0, so
// a damaged file shows something rather than what the conversion happens to give.
qint64 wholePoints(double points);

} // namespace measurement
