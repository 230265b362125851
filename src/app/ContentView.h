#pragma once

#include "app/BusyStatus.h"
#include "widgets/OnDemand.h"
#include "workspace/VersionInfo.h"

#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QWidget>
#include <memory>

class AlignDistributeToolbar;
class AppSettings;
class BusyBanner;
class CanvasTrailingToolbar;
class CanvasView;
class ConnectionPresetStore;
class DataPanelSheet;
class Dialogs;
class FileRevealer;
class FormatToolbar;
class ImageImportCoordinator;
class InspectorView;
class DocumentStore;
class OutlineView;
class PageSetupView;
class PaletteView;
class PanelWidths;
class ProjectExplorerView;
class PreviewRun;
class PreviewSheet;
class ReaderWarningsBar;
class RefusalBar;
class ReportBookChapters;
class SidecarExpressionEngine;
class SidecarModel;
class SheetDialog;
class SnippetLibrary;
class SourceSheet;
class TabBarView;
class ToolStrip;
class UrlOpener;
class WorkspaceModel;

// The content of the main window, top to bottom: the actions row, the tool strip, and the
// working area of the explorer and outline column, the canvas with the tab strip in its zoom
// bar, and the inspector, with two dividers that resize the columns. It presents the
// workspace's sheets, the "Export Failed" alert and the busy banner. Regions whose views are
// not built yet hold empty placeholders of their size and name. The sheets are built the first
// time they are shown or asked for, so that start-up pays only for what the window shows.
class ContentView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumContentWidth = 1100;
    static constexpr int minimumContentHeight = 750;

    // The palette inserts through the engine and the snippet library; both outlive the view.
    ContentView(WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs,
                SnippetLibrary &snippetLibrary, SidecarModel &engine, QWidget *parent = nullptr);
    ~ContentView() override;

    // What the engine is doing; the zip and the active tab's subreport flags are added here.
    void setEngineBusyFlags(const BusyFlags &flags);
    void setZipping(bool zipping);
    // What the busy banner's Cancel does while it names the compile of all open reports.
    void setCancelCompileAll(std::function<void()> cancel)
    {
        cancelCompileAll_ = std::move(cancel);
    }
    QString busyMessage() const;

    // The alert of a failed export, with the engine's text explained where possible.
    void presentExportError(const QString &rawError);
    // The panel the preview sheet shows for an engine error.
    static QWidget *errorDisplay(const QString &rawError, QWidget *parent = nullptr);

    // The engine model: its busy flags feed the banner, its export errors the alert, its preview
    // session the preview sheet; each showing of the window starts the engine unless it runs,
    // and the first one makes written files reload the project explorer.
    // The canvas's trailing toolbar starts preview runs with the connection presets, and with
    // `books` where it is given (see PreviewRun).
    void setEngine(SidecarModel *engine, ConnectionPresetStore &connections,
                   const ReportBookChapters *books = nullptr);

    // Bug reports: the mail is opened with `opener` and names `version`. The project explorer
    // opens folders with it when no file manager answers.
    void setBugReporting(UrlOpener &opener, const VersionInfo &version);
    // Opens a pre-filled bug report mail; without a mail program, offers to copy the address.
    void reportBug();
    static QUrl bugReportURL(const VersionInfo &version);
    // The one alert of failed file actions: "Quillmark" with the error's text; returns when closed.
    void presentFileActionError(const QString &description);

    CanvasTrailingToolbar *trailingToolbar() const { return trailingToolbar_; }
    // The sheets' views, built now if they were not yet (the preview's once the engine is set).
    SourceSheet *sourceSheet();
    PageSetupView *pageSetup();
    PreviewSheet *previewSheet();
    void startPreviewRun();

    // Takes the place of the actions row's placeholder.
    void setActionsRow(QWidget *actionsRow);
    QWidget *actionsRow() const { return actionsRow_; }

    PanelWidths &panelWidths() const { return *panelWidths_; }
    TabBarView *tabBar() const { return tabBar_; }
    CanvasView *canvas() const { return canvas_; }
    ToolStrip *toolStrip() const { return toolStrip_; }
    PaletteView *palette() const { return palette_; }
    FormatToolbar *formatToolbar() const { return formatToolbar_; }
    BusyBanner *busyBanner() const { return banner_; }
    ProjectExplorerView *explorer() const { return explorer_; }
    OutlineView *outline() const { return outline_; }
    InspectorView *inspector() const { return inspector_; }
    ImageImportCoordinator *imageImport() const { return imageImport_; }
    DataPanelSheet *dataPanelSheet() const { return dataPanelSheet_; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildWorkingArea(SidecarModel &engine);
    QWidget *buildCanvasArea();
    void buildSheets();
    // A sheet of the workspace around `content`, shown and hidden by the caller.
    SheetDialog *addSheet(const QString &name, const QSize &minimumSize, QWidget *content,
                          std::function<void()> dismiss);
    SheetDialog *buildPageSetupSheet();
    SheetDialog *buildSourceSheet();
    SheetDialog *buildPreviewSheet();
    // Builds `sheet` the first time `isShown` turns true; from then on shows it while true.
    void showWhile(OnDemand<SheetDialog> &sheet, bool isShown);
    void applyPanelWidths();
    void followActiveStore();
    void refreshBanner();
    void showExportErrorIfAny();

    WorkspaceModel &workspace_;
    AppSettings &settings_;
    Dialogs &dialogs_;
    PanelWidths *panelWidths_;
    // The window's one image import: band drops and the inspector begin imports through it.
    ImageImportCoordinator *imageImport_;
    QWidget *actionsRow_ = nullptr;
    ToolStrip *toolStrip_ = nullptr;
    TabBarView *tabBar_ = nullptr;
    CanvasView *canvas_ = nullptr;
    AlignDistributeToolbar *alignToolbar_ = nullptr;
    PaletteView *palette_ = nullptr;
    FormatToolbar *formatToolbar_ = nullptr;
    QWidget *leftColumn_ = nullptr;
    ProjectExplorerView *explorer_ = nullptr;
    OutlineView *outline_ = nullptr;
    InspectorView *inspector_ = nullptr;
    BusyBanner *banner_ = nullptr;
    std::function<void()> cancelCompileAll_;
    ReaderWarningsBar *warningsBar_ = nullptr;
    RefusalBar *refusalBar_ = nullptr;
    QPointer<DocumentStore> activeStore_;
    QMetaObject::Connection subreportConnection_;
    BusyFlags engineFlags_;
    bool isZipping_ = false;
    QPointer<SidecarModel> engine_;
    OnDemand<SheetDialog> previewSheet_;
    PreviewSheet *previewSheetContent_ = nullptr;
    OnDemand<SheetDialog> sourceSheet_;
    SourceSheet *sourceSheetContent_ = nullptr;
    OnDemand<SheetDialog> pageSetupSheet_;
    PageSetupView *pageSetup_ = nullptr;
    // The prompt for parameter values and the "Add Image" sheet follow their models by
    // themselves once built.
    OnDemand<QWidget> parameterPrompt_;
    OnDemand<QWidget> imageImportSheet_;
    DataPanelSheet *dataPanelSheet_ = nullptr;
    CanvasTrailingToolbar *trailingToolbar_ = nullptr;
    std::unique_ptr<PreviewRun> previewRun_;
    // What the expression builder of a text-field element tests with.
    std::unique_ptr<SidecarExpressionEngine> expressionEngine_;
    UrlOpener *urlOpener_ = nullptr;
    std::unique_ptr<FileRevealer> fileRevealer_;
    VersionInfo version_;
    bool shownBefore_ = false;
    bool engineStartPending_ = false;
};
