#pragma once

#include "document/DocumentStore.h"

#include <QPointer>
#include <functional>

class BandSettings;

// What every band item of one canvas shares: the store it edits, the user's preferences, the
// clock of its double clicks, and the page's re-stacking while a band's height is dragged.
struct BandContext {
    QPointer<DocumentStore> store;
    const BandSettings *settings = nullptr;
    // Milliseconds on a clock that never goes backwards.
    DocumentStore::Clock clock;
    std::function<void()> relayout;
};
