#pragma once

#include "inspector/InspectorDispatch.h"

#include <QWidget>

class AppSettings;
class BoxSideSelectionState;
class Dialogs;
class DocumentStore;
class ImageImportCoordinator;
class SidecarModel;

// What every inspector and card is handed: the store it was built for, the settings (the unit
// of its lengths, the defaults of new elements), the engine (for expression builders) and the
// window's image import, which is absent until the window has one.
struct InspectorContext {
    DocumentStore *store = nullptr;
    AppSettings *settings = nullptr;
    SidecarModel *sidecar = nullptr;
    ImageImportCoordinator *imageImport = nullptr;
    // The padding sides chosen in the view, kept from one element to the next.
    BoxSideSelectionState *paddingSelection = nullptr;
    // The window's alerts; without them, a write that must ask first is not made.
    Dialogs *dialogs = nullptr;
};

// One of the inspectors the panel chooses from, built for one structure (InspectorStructure).
// While the structure stays, the panel calls refresh() with every change of the store; the
// page then shows the new values in its widgets without rebuilding them, and writes nothing.
class InspectorPage : public QWidget {
public:
    using QWidget::QWidget;

    virtual void refresh(const DocumentStore &store, const InspectorChoice &choice) = 0;
};
