#pragma once

#include "model/MeasurementUnit.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <optional>

// What a ruler draws along its length: ticks counted from the page's edge in the user's unit,
// and markers for the guides, which are measured from the band area's origin.
namespace ruler {

// Distances in report points.
struct RulerScale {
    double labelSpacing = 0;
    double tickSpacing = 0;
    int ticksPerLabel = 1;
    double pointsPerUnit = 1;
};

RulerScale rulerScale(MeasurementUnit unit);

struct RulerTick {
    // Along the ruler, in view points from its start.
    double position = 0;
    bool isLong = false;
    // Empty for short ticks and for the tick at the page's edge.
    QString label;

    bool operator==(const RulerTick &) const = default;
};

// Ticks for a ruler `rulerLength` view points long whose page origin lies at `scrollOffset`:
// from the page's edge to 100 points past the larger of the page's end and the visible end,
// leaving out those more than 20 view points beyond either end of the ruler.
QList<RulerTick> rulerTicks(MeasurementUnit unit, double pageLength, double rulerLength,
                            double zoomLevel, double scrollOffset);

// Where a guide's marker is drawn along the ruler, or no value when it lies more than 6 view
// points beyond either end.
std::optional<double> guideMarkerPosition(double guide, double marginOffset, double zoomLevel,
                                          double scrollOffset, double rulerLength);

// The guide position, in points from the band area's origin, that a click at `clickPosition`
// along the ruler toggles.
double guideForClick(double clickPosition, double marginOffset, double zoomLevel,
                     double scrollOffset);

// A press that travelled less than 2 points in all is a click.
bool isClick(QPointF translation);

} // namespace ruler
