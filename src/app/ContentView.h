#pragma once

#include "app/BusyStatus.h"

#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QWidget>

class AlignDistributeToolbar;
class AppSettings;
class BusyBanner;
class CanvasView;
class Dialogs;
class DocumentStore;
class PanelWidths;
class ReaderWarningsBar;
class SidecarModel;
class SheetDialog;
class TabBarView;
class ToolStrip;
class WorkspaceModel;

// The content of the main window, top to bottom: the actions row, the tool strip, and the
// working area of the explorer and outline column, the canvas with the tab strip in its zoom
// bar, and the inspector, with two dividers that resize the columns. It presents the
// workspace's sheets, the "Export Failed" alert and the busy banner. Regions whose views are
// not built yet hold empty placeholders of their size and name.
class ContentView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumContentWidth = 1100;
    static constexpr int minimumContentHeight = 750;

    ContentView(WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs,
                QWidget *parent = nullptr);
    ~ContentView() override;

    // What the engine is doing; the zip and the active tab's subreport flags are added here.
    void setEngineBusyFlags(const BusyFlags &flags);
    void setZipping(bool zipping);
    QString busyMessage() const;

    // The alert of a failed export, with the engine's text explained where possible.
    void presentExportError(const QString &rawError);
    // The panel the preview sheet shows for an engine error.
    static QWidget *errorDisplay(const QString &rawError, QWidget *parent = nullptr);

    // The engine model: its busy flags feed the banner, its export errors the alert, its preview
    // session the preview sheet; each showing of the window starts the engine unless it runs,
    // and the first one makes written files reload the project explorer.
    void setEngine(SidecarModel *engine);

    PanelWidths &panelWidths() const { return *panelWidths_; }
    TabBarView *tabBar() const { return tabBar_; }
    CanvasView *canvas() const { return canvas_; }
    ToolStrip *toolStrip() const { return toolStrip_; }
    BusyBanner *busyBanner() const { return banner_; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildWorkingArea();
    QWidget *buildCanvasArea();
    void buildSheets();
    SheetDialog *addSheet(const QString &name, const QSize &minimumSize,
                          bool (WorkspaceModel::*isShown)() const,
                          void (WorkspaceModel::*shownChanged)(), std::function<void()> dismiss);
    void applyPanelWidths();
    void followActiveStore();
    void refreshBanner();
    void showExportErrorIfAny();

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    Dialogs &dialogs_;
    PanelWidths *panelWidths_;
    ToolStrip *toolStrip_ = nullptr;
    TabBarView *tabBar_ = nullptr;
    CanvasView *canvas_ = nullptr;
    AlignDistributeToolbar *alignToolbar_ = nullptr;
    QWidget *leftColumn_ = nullptr;
    QWidget *inspector_ = nullptr;
    BusyBanner *banner_ = nullptr;
    ReaderWarningsBar *warningsBar_ = nullptr;
    QPointer<DocumentStore> activeStore_;
    QMetaObject::Connection subreportConnection_;
    BusyFlags engineFlags_;
    bool isZipping_ = false;
    QPointer<SidecarModel> engine_;
    SheetDialog *previewSheet_ = nullptr;
    bool shownBefore_ = false;
    bool engineStartPending_ = false;
};
