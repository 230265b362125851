#include "canvas/RulerTicks.h"

#include <algorithm>
#include <cmath>

namespace ruler {

RulerScale rulerScale(MeasurementUnit unit)
{
    RulerScale scale;
    const double perUnit = measurement::pointsPerUnit(unit);
    scale.pointsPerUnit = perUnit;
    switch (unit) {
    case MeasurementUnit::pixels:
        scale.labelSpacing = 50;
        scale.tickSpacing = 10;
        break;
    case MeasurementUnit::inches:
        scale.labelSpacing = perUnit;
        scale.tickSpacing = perUnit / 4;
        break;
    case MeasurementUnit::millimeters:
        scale.labelSpacing = perUnit * 10;
        scale.tickSpacing = perUnit;
        break;
    case MeasurementUnit::centimeters:
        scale.labelSpacing = perUnit * 5;
        scale.tickSpacing = perUnit;
        break;
    case MeasurementUnit::meters:
        scale.labelSpacing = perUnit;
        scale.tickSpacing = perUnit / 10;
        break;
    }
    scale.ticksPerLabel =
        std::max(static_cast<int>(std::lround(scale.labelSpacing / scale.tickSpacing)), 1);
    return scale;
}

QList<RulerTick> rulerTicks(MeasurementUnit unit, double pageLength, double rulerLength,
                            double zoomLevel, double scrollOffset)
{
    QList<RulerTick> ticks;
    const RulerScale scale = rulerScale(unit);
    const double end = std::max(pageLength, (rulerLength - scrollOffset) / zoomLevel) + 100;
    if (end < 0 || zoomLevel <= 0)
        return ticks;
    // The first tick near the ruler's start, found at once: a page scrolled far to the right
    // does not walk the ticks it has left behind. One step earlier, for the rounding.
    const double hidden = std::ceil((-20 - scrollOffset) / zoomLevel / scale.tickSpacing) - 1;
    if (!(hidden <= end / scale.tickSpacing))
        return ticks;
    for (qint64 i = qint64(std::max(hidden, 0.0));; ++i) {
        const double value = double(i) * scale.tickSpacing;
        if (value > end)
            break;
        const double p = scrollOffset + zoomLevel * value;
        // Ticks only move right from here: a huge page does not walk past the ruler's end.
        if (p > rulerLength + 20)
            break;
        if (p < -20)
            continue;
        RulerTick tick{p, i % scale.ticksPerLabel == 0, {}};
        if (tick.isLong && i >= 1)
            tick.label = QString::asprintf("%.0f", value / scale.pointsPerUnit);
        ticks.append(tick);
    }
    return ticks;
}

std::optional<double> guideMarkerPosition(double guide, double marginOffset, double zoomLevel,
                                          double scrollOffset, double rulerLength)
{
    const double p = scrollOffset + zoomLevel * (marginOffset + guide);
    if (p < -6 || p > rulerLength + 6)
        return std::nullopt;
    return p;
}

double guideForClick(double clickPosition, double marginOffset, double zoomLevel,
                     double scrollOffset)
{
    return (clickPosition - scrollOffset) / zoomLevel - marginOffset;
}

bool isClick(QPointF translation)
{
    return std::hypot(translation.x(), translation.y()) < 2;
}

} // namespace ruler
