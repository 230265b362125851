#include "document/DocumentStore.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 8> zoomSteps{0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0};
// A level this close to a step counts as that step.
constexpr double zoomTolerance = 0.001;
// A click this close to a guide (strictly closer) removes it.
constexpr double guideReach = 4;

QList<double> toggledGuide(QList<double> guides, double position)
{
    for (qsizetype i = 0; i < guides.size(); ++i) {
        if (std::abs(guides.at(i) - position) < guideReach) {
            guides.removeAt(i);
            return guides;
        }
    }
    guides.append(position);
    return guides;
}

} // namespace

void DocumentStore::zoomIn()
{
    double level = zoomSteps.back();
    for (double step : zoomSteps) {
        if (step > zoomLevel_ + zoomTolerance) {
            level = step;
            break;
        }
    }
    setZoomLevel(level);
}

void DocumentStore::zoomOut()
{
    double level = zoomSteps.front();
    for (auto it = zoomSteps.rbegin(); it != zoomSteps.rend(); ++it) {
        if (*it < zoomLevel_ - zoomTolerance) {
            level = *it;
            break;
        }
    }
    setZoomLevel(level);
}

void DocumentStore::toggleHorizontalGuide(double position)
{
    setHorizontalGuides(toggledGuide(horizontalGuides_, position));
}

void DocumentStore::toggleVerticalGuide(double position)
{
    setVerticalGuides(toggledGuide(verticalGuides_, position));
}
