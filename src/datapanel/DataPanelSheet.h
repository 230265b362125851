#pragma once

#include "widgets/Dialogs.h"
#include "widgets/SheetDialog.h"

#include <QPointer>

class AppSettings;
class ConnectionPresetStore;
class DataPanelView;
class SidecarModel;
class WorkspaceModel;

// The sheet of the data panel, modal to its window as a sheet that edits the report is (see
// SheetDialog). It follows the workspace's data-panel flag by itself: when the flag turns true
// it builds a new panel for the tab that is active then and opens; when the flag turns false it
// closes and the panel is discarded. "Close" and every other way of closing clear the flag.
class DataPanelSheet : public SheetDialog {
    Q_OBJECT

public:
    DataPanelSheet(WorkspaceModel &workspace, AppSettings &settings, SidecarModel *sidecar,
                   QWidget *window);

    void setConnectionStore(ConnectionPresetStore *connections) { connections_ = connections; }
    // The dialogs that ask before a removal breaks what uses the removed item. Once answered,
    // the keys go to the sheet itself, not to a text field in it: Undo typed next takes the
    // removal back.
    void setDialogs(Dialogs *dialogs) { dialogs_ = dialogs; }
    // The panel while the sheet is open; null otherwise.
    DataPanelView *view() const;

private:
    // The window's dialogs, with the keys handed back to the sheet after each alert.
    class Asking : public Dialogs {
    public:
        explicit Asking(DataPanelSheet &sheet) : sheet_(sheet) {}
        int runAlert(const AlertRequest &request) override;
        QList<QUrl> runOpenPanel(const FilePanelRequest &request) override;
        std::optional<QUrl> runSavePanel(const FilePanelRequest &request) override;
        int runTextAlert(const AlertRequest &request, QString &text) override;

    private:
        DataPanelSheet &sheet_;
    };

    void follow();

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    QPointer<SidecarModel> sidecar_;
    ConnectionPresetStore *connections_ = nullptr;
    Dialogs *dialogs_ = nullptr;
    Asking asking_{*this};
};
