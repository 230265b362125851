#pragma once

#include "canvas/BandFrameTracker.h"
#include "model/ReportElement.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QSet>
#include <QSizeF>
#include <QString>
#include <optional>

class DocumentStore;

// What the overlays over the canvas draw, in canvas view coordinates.
namespace overlay {

// Positions along one axis of the guide lines that fall within 0..extent (both ends included):
// a guide is measured from the margin corner, the page origin lies at `scrollOffset`.
QList<double> guideLinePositions(const QList<double> &guides, double margin, double zoomLevel,
                                 double scrollOffset, double extent);

// A ghost box is the element's scaled size, but never smaller than 24 by 16.
QSizeF ghostSize(double width, double height, double zoomLevel);

// The text written into an element's ghost box.
QString ghostLabel(const ReportElement &element);

// Where the element's top-left corner is drawn on the canvas, from its band's recorded frame;
// no value when the element, its band or the band's frame is unknown.
std::optional<QPointF> homeScreenOrigin(const DocumentStore &store,
                                        const BandFrameTracker::Frames &frames, const QUuid &id);

// A top-level element found on a drawn band, and where its top-left corner is drawn.
struct DrawnElement {
    ReportElement element;
    QPointF origin;
};
// The same for many elements in one pass over the drawn bands; ids whose element, band or
// frame is unknown are left out.
QHash<QUuid, DrawnElement> homeScreenOrigins(const DocumentStore &store,
                                             const BandFrameTracker::Frames &frames,
                                             const QSet<QUuid> &ids);

} // namespace overlay
