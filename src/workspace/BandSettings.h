#pragma once

#include "model/MeasurementUnit.h"

#include <QString>

// What the band views read of the user's preferences: the snap grid and the defaults of a new
// text field. The preferences object answers it; tests give values of their own.
class BandSettings {
public:
    virtual ~BandSettings() = default;
    virtual bool isSnapToGridEnabled() const = 0;
    virtual double gridSize() const = 0;
    // A coordinate or size on the plain grid.
    virtual double snapped(double value) const = 0;
    // A coordinate on the grid stretched to fill `axisLength` evenly.
    virtual double snapped(double value, double axisLength) const = 0;
    virtual QString defaultFontName() const = 0;
    virtual double defaultFontSize() const = 0;
    virtual bool defaultBlankWhenNull() const = 0;
    // The unit lengths are shown in; points (pixels) unless the preferences say otherwise.
    virtual MeasurementUnit measurementUnit() const { return MeasurementUnit::pixels; }
};
