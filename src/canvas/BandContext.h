#pragma once

#include "document/DocumentStore.h"

#include <QPointer>
#include <functional>

class AppClock;
class BandFrameTracker;
class BandSettings;
class CrossBandDragState;
struct ElementEnvironment;
class MultiDragState;

// What every band and element item of one canvas shares: the store it edits, the user's
// preferences (grid, snapping, defaults of new text fields), the clock of its double clicks,
// the page's re-stacking while a band's height is dragged, and the canvas's shared gesture
// state (band frames, the multi-selection drag and the cross-band ghost). The gesture states
// may be absent (a scene drawn without a canvas view); then elements are not dragged.
struct BandContext {
    QPointer<DocumentStore> store;
    const BandSettings *settings = nullptr;
    const AppClock *clock = nullptr;
    std::function<void()> relayout;
    BandFrameTracker *frameTracker = nullptr;
    MultiDragState *multiDrag = nullptr;
    CrossBandDragState *crossBand = nullptr;
    // The application around the elements: their double-click actions and pictures.
    const ElementEnvironment *environment = nullptr;
};
