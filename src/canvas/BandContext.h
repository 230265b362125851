#pragma once

#include "canvas/BandFrameTracker.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/MultiDragState.h"
#include "document/DocumentStore.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QUuid>
#include <functional>

class AppClock;
class BandSettings;
struct ElementEnvironment;
class ElementViewRegistry;

// What every band and element item of one canvas shares: the store it edits, the user's
// preferences (grid, snapping, defaults of new text fields), the clock of its double clicks,
// the page's re-stacking while a band's height is dragged, and the canvas's shared gesture
// state (band frames, the multi-selection drag and the cross-band ghost). The gesture states
// may be absent (a scene drawn without a canvas view); then elements are not dragged. They are
// guarded: a gesture that ends while its canvas goes away finds them gone.
struct BandContext {
    QPointer<DocumentStore> store;
    const BandSettings *settings = nullptr;
    const AppClock *clock = nullptr;
    std::function<void()> relayout;
    QPointer<BandFrameTracker> frameTracker;
    QPointer<MultiDragState> multiDrag;
    QPointer<CrossBandDragState> crossBand;
    // Every element view of the canvas by id; each view adds itself while it lives.
    ElementViewRegistry *views = nullptr;
    // The marks of the elements that name what their dataset lacks, by id (LackMarks): a view
    // made anew takes its own.
    const QHash<QUuid, QStringList> *lackMarks = nullptr;
    // The application around the elements: their double-click actions and pictures.
    const ElementEnvironment *environment = nullptr;
    // Counts the changes of the report's styles, from which faces take their backgrounds: a
    // face kept as a picture is drawn anew after one.
    quint32 faceGeneration = 0;
};
