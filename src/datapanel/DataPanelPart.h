#pragma once

#include "document/DocumentStore.h"

#include <QPointer>
#include <QWidget>

class AppSettings;
class ConnectionPresetStore;
class DataPanelView;
class Dialogs;
class SidecarModel;

// What every part of the data panel is built with: the active tab's store, the preferences,
// the engine model and the connection presets (either of the last two may be missing in a
// window without an engine), the panel itself for the state it owns while it is shown, and the
// window's dialogs for the questions asked before a removal (none: nothing is asked) and for
// the sample file's open panel (none: the platform's own).
struct DataPanelContext {
    QPointer<DocumentStore> store;
    AppSettings *settings = nullptr;
    SidecarModel *sidecar = nullptr;
    ConnectionPresetStore *connections = nullptr;
    DataPanelView *panel = nullptr;
    Dialogs *dialogs = nullptr;
};

// One part of the panel: the query pane, the results area or the content of one card. It is
// built once when the panel opens and shows the report's values in place on refresh(), which
// the panel calls after every change of the store's document. Refreshing never writes.
class DataPanelPart : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual void refresh();
};
