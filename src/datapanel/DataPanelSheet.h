#pragma once

#include "widgets/SheetDialog.h"

#include <QPointer>

class AppSettings;
class ConnectionPresetStore;
class DataPanelView;
class Dialogs;
class SidecarModel;
class WorkspaceModel;

// The window-modal sheet of the data panel. It follows the workspace's data-panel flag by
// itself: when the flag turns true it builds a new panel for the tab that is active then and
// opens; when the flag turns false it closes and the panel is discarded. "Close" and every
// other way of closing clear the flag.
class DataPanelSheet : public SheetDialog {
    Q_OBJECT

public:
    DataPanelSheet(WorkspaceModel &workspace, AppSettings &settings, SidecarModel *sidecar,
                   QWidget *window);

    void setConnectionStore(ConnectionPresetStore *connections) { connections_ = connections; }
    // The dialogs that ask before a removal breaks what uses the removed item.
    void setDialogs(Dialogs *dialogs) { dialogs_ = dialogs; }
    // The panel while the sheet is open; null otherwise.
    DataPanelView *view() const;

private:
    void follow();

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    QPointer<SidecarModel> sidecar_;
    ConnectionPresetStore *connections_ = nullptr;
    Dialogs *dialogs_ = nullptr;
};
