#include "MeasurementUnit.h"

#include <limits>

namespace measurement {

double pointsPerUnit(MeasurementUnit unit)
{
    switch (unit) {
    case MeasurementUnit::pixels:
        return 1;
    case MeasurementUnit::inches:
        return 72;
    case MeasurementUnit::millimeters:
        return 72 / 25.4;
    case MeasurementUnit::centimeters:
        return 72 / 2.54;
    case MeasurementUnit::meters:
        return 72 / 0.0254;
    }
    return 1;
}

int decimalsShown(MeasurementUnit unit)
{
    return unit == MeasurementUnit::pixels ? 0 : 2;
}

QString suffix(MeasurementUnit unit)
{
    switch (unit) {
    case MeasurementUnit::pixels:
        return {};
    case MeasurementUnit::inches:
        return QStringLiteral("in");
    case MeasurementUnit::millimeters:
        return QStringLiteral("mm");
    case MeasurementUnit::centimeters:
        return QStringLiteral("cm");
    case MeasurementUnit::meters:
        return QStringLiteral("m");
    }
    return {};
}

namespace {
QLocale withoutGrouping(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator |
                            QLocale::RejectGroupSeparator);
    return locale;
}
} // namespace

QString format(double points, MeasurementUnit unit, const QLocale &locale)
{
    return withoutGrouping(locale).toString(points / pointsPerUnit(unit), 'f', decimalsShown(unit));
}

std::optional<double> committedPoints(const QString &text, double points, MeasurementUnit unit,
                                      const QLocale &locale)
{
    bool ok = false;
    const double value = withoutGrouping(locale).toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double length = unit == MeasurementUnit::pixels ? value : value * pointsPerUnit(unit);
    // A huge number in a large unit overflows into infinity, which no report can hold.
    if (!std::isfinite(length) || length == points)
        return std::nullopt;
    return length;
}

qint64 wholePoints(double points)
{
    if (std::isnan(points))
        return 0;
    // Both bounds are exact doubles: -2^63 is a whole number, and 2^63 is one past the largest.
    constexpr double lowest = -9223372036854775808.0;
    constexpr double pastHighest = 9223372036854775808.0;
    if (points >= pastHighest)
        return std::numeric_limits<qint64>::max();
    if (points <= lowest)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(points);
}

} // namespace measurement
