#pragma once

#include "canvas/BandDrop.h"
#include "model/ReportBand.h"

#include <QPointF>

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
