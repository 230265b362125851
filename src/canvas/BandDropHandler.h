#pragma once

#include "canvas/BandDrop.h"
#include "model/ReportBand.h"

#include <QPointF>
#include <functional>

class BandSettings;
class DocumentStore;

// Whether a drop on the band would add anything: a "field:" or "param:" drop, or a "fields:"
// drop naming a field of the report, on a band the report holds.
bool bandUsesDrop(const DocumentStore &store, const BandTarget &target, const BandDrop &drop);

// Puts what was dropped on a band into the report: a "fields:" drop becomes the columnar layout
// on a detail band and one text field per field elsewhere (each its own undo step, the last one
// selected); a "field:" or "param:" drop becomes one text field. `point` is in the band body's
// coordinates.
void applyBandDrop(DocumentStore &store, const BandSettings &settings, const BandTarget &target,
                   const BandDrop &drop, QPointF point);

// Whether the band takes elements at all: a standard band the report does not hold is drawn
// but takes none, a hidden one takes none (a save leaves it out), and no band of a report of
// parts takes any.
bool bandTakesElements(const DocumentStore &store, const BandTarget &target);

// An image file dropped on a band: where its image goes (60 points left of and 40 above the
// drop, snapped, taken when the drop arrives), and the completion of its import, which makes
// the band active and adds a 120 by 90 image element there with the imported expression. The
// completion does nothing once the store is gone; once the band is hidden or gone, the image goes
// to the band the report rests on, as every insert bound for such a band does.
QPointF imageDropOrigin(const DocumentStore &store, const BandSettings &settings,
                        const BandTarget &target, QPointF point);
std::function<void(const QString &expression)>
droppedImageCompletion(DocumentStore *store, const BandTarget &target, QPointF origin);
