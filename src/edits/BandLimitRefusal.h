#pragma once

#include "model/MeasurementUnit.h"

#include <QMetaObject>
#include <QString>

class DocumentStore;

// The Band Height field's words for the band limit the store announces (bandLimitReached) while
// one edit runs: made before the edit, read after it; empty when the edit reached no limit. For
// panels that tell, where they stand, why their edit added nothing.
class BandLimitRefusal {
public:
    BandLimitRefusal(DocumentStore &store, MeasurementUnit unit);
    ~BandLimitRefusal();
    BandLimitRefusal(const BandLimitRefusal &) = delete;
    BandLimitRefusal &operator=(const BandLimitRefusal &) = delete;

    const QString &words() const { return words_; }

private:
    QMetaObject::Connection connection_;
    QString words_;
};
