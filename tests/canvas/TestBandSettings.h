#pragma once

#include "workspace/BandSettings.h"

#include <algorithm>
#include <cmath>

// Preferences for canvas tests: a grid that may be switched off, snapping as the user's
// preferences do it (halves away from zero; a stretched grid along an axis).
struct TestBandSettings : BandSettings {
    bool snapping = true;
    double grid = 10;

    bool isSnapToGridEnabled() const override { return snapping; }
    double gridSize() const override { return grid; }
    double snapped(double v) const override
    {
        return snapping && grid > 0 ? std::round(v / grid) * grid : std::round(v);
    }
    double snapped(double v, double axis) const override
    {
        if (!snapping || !(grid > 0) || !(axis > 0))
            return std::round(v);
        const double step = axis / std::max(std::round(axis / grid), 1.0);
        return std::round(v / step) * step;
    }
    QString defaultFontName() const override { return QStringLiteral("DejaVu Sans"); }
    double defaultFontSize() const override { return 9; }
    bool defaultBlankWhenNull() const override { return true; }
};
