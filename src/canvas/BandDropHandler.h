#pragma once

#include "canvas/BandDrop.h"
#include "model/ReportBand.h"

#include <QPointF>

class BandSettings;
class DocumentStore;

// Puts what was dropped on a band into the report: a "fields:" drop becomes the columnar layout
// on a detail band and one text field per field elsewhere (each its own undo step, the last one
// selected); a "field:" or "param:" drop becomes one text field. `point` is in the band body's
// coordinates.
void applyBandDrop(DocumentStore &store, const BandSettings &settings, const BandTarget &target,
                   const BandDrop &drop, QPointF point);
