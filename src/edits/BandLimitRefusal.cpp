#include "edits/BandLimitRefusal.h"

#include "document/DocumentStore.h"
#include "edits/LengthLimits.h"

BandLimitRefusal::BandLimitRefusal(DocumentStore &store, MeasurementUnit unit)
{
    connection_ = QObject::connect(&store, &DocumentStore::bandLimitReached, &store,
                                   [this, unit](const BandTarget &, double largest) {
                                       words_ = LengthLimits::bandLimitWords(largest, unit);
                                   });
}

BandLimitRefusal::~BandLimitRefusal()
{
    QObject::disconnect(connection_);
}
