#pragma once

#include "document/DocumentStore.h"

#include <QPointer>
#include <functional>

class AppClock;
class BandSettings;

// What every band item of one canvas shares: the store it edits, the user's preferences (grid,
// snapping, defaults of new text fields), the clock of its double clicks, and the page's
// re-stacking while a band's height is dragged.
struct BandContext {
    QPointer<DocumentStore> store;
    const BandSettings *settings = nullptr;
    const AppClock *clock = nullptr;
    std::function<void()> relayout;
};
