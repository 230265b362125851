#include "app/ContentView.h"

#include "app/BusyBanner.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/CrashDetection.h"
#include "app/ErrorDisplay.h"
#include "app/PanelWidths.h"
#include "app/Placeholder.h"
#include "app/PreviewRun.h"
#include "app/PreviewSheet.h"
#include "app/ReaderWarningsBar.h"
#include "app/SourceSheet.h"
#include "app/TabBarView.h"
#include "app/ToolStrip.h"
#include "canvas/AlignDistributeToolbar.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/FormatToolbar.h"
#include "canvas/PaletteView.h"
#include "datapanel/DataPanelSheet.h"
#include "document/DocumentStore.h"
#include "editors/SidecarExpressionEngine.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/ParameterValuesSheet.h"
#include "engine/SidecarModel.h"
#include "inspector/InspectorView.h"
#include "navigators/FileRevealer.h"
#include "navigators/OutlineView.h"
#include "navigators/ProjectExplorerView.h"
#include "setup/ImageImportCoordinator.h"
#include "setup/ImageImportOptionsSheet.h"
#include "setup/NewReportWizardSheet.h"
#include "setup/PageSetupView.h"
#include "widgets/Dialogs.h"
#include "widgets/PanelDivider.h"
#include "widgets/SheetDialog.h"
#include "widgets/SheetHeader.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A placeholder that takes the width it is given and keeps its ideal height.
Placeholder *row(const QString &name, const QSize &size, QWidget *parent)
{
    auto *region = new Placeholder(name, size, parent);
    region->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    region->setFixedHeight(size.height());
    return region;
}

// Puts a sheet's view in the place of its placeholder, edge to edge.
void fillSheet(SheetDialog *sheet, QWidget *content)
{
    delete sheet->findChild<Placeholder *>();
    sheet->layout()->setContentsMargins(0, 0, 0, 0);
    sheet->layout()->addWidget(content);
}

} // namespace

ContentView::ContentView(WorkspaceModel &workspace, AppSettings &settings, Dialogs &dialogs,
                         SnippetLibrary &snippetLibrary, SidecarModel &engine, QWidget *parent)
    : QWidget(parent), workspace_(workspace), settings_(settings), dialogs_(dialogs),
      panelWidths_(new PanelWidths(this)), imageImport_(new ImageImportCoordinator(dialogs, this)),
      expressionEngine_(std::make_unique<SidecarExpressionEngine>(engine))
{
    setObjectName(u"ContentView"_s);
    setMinimumSize(minimumContentWidth, minimumContentHeight);

    actionsRow_ = row(u"ActionsRow"_s, {900, 34}, this);
    palette_ = new PaletteView(settings_, snippetLibrary, engine, this);
    palette_->setObjectName(u"PaletteView"_s);
    formatToolbar_ = new FormatToolbar(settings_, this);
    formatToolbar_->setObjectName(u"FormatToolbar"_s);
    toolStrip_ = new ToolStrip(palette_, formatToolbar_,
                               alignToolbar_ = new AlignDistributeToolbar(this), this);
    alignToolbar_->setObjectName(u"AlignDistributeToolbar"_s);
    warningsBar_ = new ReaderWarningsBar(this);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(actionsRow_);
    stack->addWidget(horizontalDivider(this));
    stack->addWidget(toolStrip_);
    stack->addWidget(horizontalDivider(this));
    stack->addWidget(warningsBar_);
    stack->addWidget(buildWorkingArea(engine), 1);

    banner_ = new BusyBanner(this);
    buildSheets();
    dataPanelSheet_ = new DataPanelSheet(workspace_, settings_, &engine, this);
    dataPanelSheet_->setDialogs(&dialogs_);
    canvas_->scene()->setEnvironment(ElementEnvironment{
        &workspace_, &settings_, &dialogs_, expressionEngine_.get(), nullptr, imageImport_});

    connect(panelWidths_, &PanelWidths::changed, this, &ContentView::applyPanelWidths);
    connect(&workspace_, &WorkspaceModel::tabsChanged, this, &ContentView::followActiveStore);
    connect(&workspace_, &WorkspaceModel::activeTabIndexChanged, this,
            &ContentView::followActiveStore);
    applyPanelWidths();
    followActiveStore();
}

ContentView::~ContentView() = default;

QWidget *ContentView::buildWorkingArea(SidecarModel &engine)
{
    auto *area = new QWidget(this);
    area->setObjectName(u"WorkingArea"_s);

    auto *split = new QSplitter(Qt::Vertical, area);
    split->setObjectName(u"LeftColumn"_s);
    split->setChildrenCollapsible(false);
    explorer_ = new ProjectExplorerView(workspace_, settings_, dialogs_, split);
    explorer_->setMinimumHeight(120);
    split->addWidget(explorer_);
    outline_ = new OutlineView(split);
    outline_->setDialogs(&dialogs_);
    outline_->setMinimumHeight(120);
    split->addWidget(outline_);
    split->setStretchFactor(1, 1);
    leftColumn_ = split;

    inspector_ = new InspectorView(settings_, &engine, imageImport_, area);

    auto *leftDivider = new PanelDivider([this](double t) { panelWidths_->dragLeft(t); },
                                         [this](double t) { panelWidths_->endLeftDrag(t); }, area);
    leftDivider->setObjectName(u"LeftResizeDivider"_s);
    auto *rightDivider =
        new PanelDivider([this](double t) { panelWidths_->dragRight(t); },
                         [this](double t) { panelWidths_->endRightDrag(t); }, area);
    rightDivider->setObjectName(u"RightResizeDivider"_s);

    auto *columns = new QHBoxLayout(area);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->addWidget(leftColumn_);
    columns->addWidget(leftDivider);
    columns->addWidget(buildCanvasArea(), 1);
    columns->addWidget(rightDivider);
    columns->addWidget(inspector_);
    return area;
}

QWidget *ContentView::buildCanvasArea()
{
    // The canvas shows the tab strip in its top bar beside the zoom controls, and the canvas
    // toolbar (data, source, preview) at that bar's trailing end.
    canvas_ = new CanvasView(this);
    canvas_->setObjectName(u"CanvasView"_s);
    canvas_->setMinimumWidth(400);
    canvas_->setBandSettings(&settings_);
    canvas_->setMeasurementUnit(settings_.measurementUnit());
    tabBar_ = new TabBarView(workspace_, dialogs_, canvas_);
    canvas_->setTabStrip(tabBar_);
    canvas_->setTrailingToolbar(new Placeholder(u"CanvasTrailingToolbar"_s, {110, 22}, canvas_));

    connect(&settings_, &AppSettings::measurementUnitChanged, canvas_,
            [this] { canvas_->setMeasurementUnit(settings_.measurementUnit()); });
    for (auto changed : {&AppSettings::isSnapToGridEnabledChanged, &AppSettings::gridSizeChanged,
                         &AppSettings::defaultFontNameChanged, &AppSettings::defaultFontSizeChanged,
                         &AppSettings::defaultBlankWhenNullChanged})
        connect(&settings_, changed, canvas_, [this] { canvas_->bandSettingsChanged(); });
    return canvas_;
}

SheetDialog *ContentView::addSheet(const QString &name, const QSize &minimumSize,
                                   bool (WorkspaceModel::*isShown)() const,
                                   void (WorkspaceModel::*shownChanged)(),
                                   std::function<void()> dismiss)
{
    auto *sheet = new SheetDialog(this, std::move(dismiss));
    sheet->setIsWorkspaceSheet(true);
    sheet->setObjectName(name);
    sheet->setMinimumSize(minimumSize);
    auto *layout = new QVBoxLayout(sheet);
    layout->addWidget(new Placeholder(name + u"Content"_s, minimumSize, sheet));
    connect(&workspace_, shownChanged, sheet,
            [this, sheet, isShown] { sheet->setShown((workspace_.*isShown)()); });
    return sheet;
}

void ContentView::buildSheets()
{
    WorkspaceModel &w = workspace_;
    auto *pageSetup = addSheet(u"PageSetupSheet"_s, {420, 480}, &WorkspaceModel::isPageSetupVisible,
                               &WorkspaceModel::isPageSetupVisibleChanged,
                               [&w] { w.setIsPageSetupVisible(false); });
    fillSheet(pageSetup, pageSetup_ = new PageSetupView(workspace_.activeStore(), settings_,
                                                        [&w] { w.setIsPageSetupVisible(false); }));
    pageSetup->resize(460, 680);
    pageSetup->setEditsActiveReport(true);
    // "New..." and the "New Report" button show the wizard, which opens the new tab itself.
    new NewReportWizardSheet(workspace_, settings_, this);
    auto *source =
        addSheet(u"SourceSheet"_s, {650, 800}, &WorkspaceModel::isSourceVisible,
                 &WorkspaceModel::isSourceVisibleChanged, [&w] { w.setIsSourceVisible(false); });
    fillSheet(source, sourceSheet_ = new SourceSheet(workspace_));
    // The prompt follows its flag by itself; dismissing it drops the pending run.
    (new ParameterValuesSheet(&workspace_, this))->setIsWorkspaceSheet(true);
    // The "Add Image" sheet shows while the image import has a pending import.
    new ImageImportOptionsSheet(*imageImport_, workspace_, this);
}

void ContentView::applyPanelWidths()
{
    leftColumn_->setFixedWidth(qRound(panelWidths_->effectiveLeftWidth()));
    inspector_->setFixedWidth(qRound(panelWidths_->effectiveRightWidth()));
}

void ContentView::followActiveStore()
{
    DocumentStore *store = workspace_.activeStore();
    if (store != activeStore_) {
        disconnect(subreportConnection_);
        activeStore_ = store;
        canvas_->setStore(store);
        outline_->setStore(store);
        alignToolbar_->setStore(store);
        palette_->setStore(store);
        formatToolbar_->setStore(store);
        inspector_->setStore(store);
        pageSetup_->setStore(store);
        subreportConnection_ = connect(store, &DocumentStore::creatingSubreportElementIDsChanged,
                                       this, &ContentView::refreshBanner);
    }
    warningsBar_->showFor(store);
    refreshBanner();
}

void ContentView::setEngineBusyFlags(const BusyFlags &flags)
{
    engineFlags_ = flags;
    refreshBanner();
}

void ContentView::setZipping(bool zipping)
{
    isZipping_ = zipping;
    refreshBanner();
}

QString ContentView::busyMessage() const
{
    return banner_->message();
}

void ContentView::refreshBanner()
{
    BusyFlags flags = engineFlags_;
    flags.isZipping = isZipping_;
    flags.isCreatingSubreport =
        activeStore_ && !activeStore_->creatingSubreportElementIDs().isEmpty();
    banner_->setMessage(busyStatusMessage(flags));
}

void ContentView::presentExportError(const QString &rawError)
{
    dialogs_.runAlert({AlertRequest::Style::warning,
                       u"Export Failed"_s,
                       FriendlyErrorTranslator::annotate(rawError),
                       {{u"OK"_s, AlertRequest::Role::normal}}});
}

QWidget *ContentView::errorDisplay(const QString &rawError, QWidget *parent)
{
    return new ErrorDisplay(rawError, parent);
}

void ContentView::setEngine(SidecarModel *engine, ConnectionPresetStore &connections,
                            const ReportBookChapters *books)
{
    engine_ = engine;
    previewRun_ = std::make_unique<PreviewRun>(workspace_, *engine, connections, dialogs_, books);
    trailingToolbar_ = new CanvasTrailingToolbar(workspace_, *engine, connections, canvas_);
    dataPanelSheet_->setConnectionStore(&connections);
    canvas_->setTrailingToolbar(trailingToolbar_);
    connect(trailingToolbar_, &CanvasTrailingToolbar::sourceRequested, sourceSheet_,
            &SourceSheet::openFromActiveReport);
    connect(trailingToolbar_, &CanvasTrailingToolbar::previewRequested, this,
            &ContentView::startPreviewRun);

    const auto flagsChanged = [this] {
        setEngineBusyFlags({.isRendering = engine_->isRendering(),
                            .isExporting = engine_->isExporting(),
                            .isCompilingAll = engine_->isCompilingAll(),
                            .isTestingConnection = engine_->isTestingConnection(),
                            .isExecutingQuery = engine_->isExecutingQuery()});
    };
    for (auto changed :
         {&SidecarModel::isRenderingChanged, &SidecarModel::isExportingChanged,
          &SidecarModel::isCompilingAllChanged, &SidecarModel::isTestingConnectionChanged,
          &SidecarModel::isExecutingQueryChanged})
        connect(engine, changed, this, flagsChanged);
    flagsChanged();
    connect(engine, &SidecarModel::exportErrorMessageChanged, this, [this] {
        QMetaObject::invokeMethod(this, &ContentView::showExportErrorIfAny, Qt::QueuedConnection);
    });

    // The preview sheet shows while a preview session is set; closing it ends the session.
    previewSheet_ = new SheetDialog(this, [this] {
        if (engine_)
            engine_->setPreviewSession(std::nullopt);
    });
    previewSheet_->setObjectName(u"PreviewSheet"_s);
    previewSheet_->setMinimumSize(650, 800);
    auto *layout = new QVBoxLayout(previewSheet_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(previewSheetContent_ = new PreviewSheet(*engine, previewSheet_));
    connect(engine, &SidecarModel::previewSessionChanged, previewSheet_,
            [this] { previewSheet_->setShown(engine_ && engine_->previewSession().has_value()); });
}

void ContentView::startPreviewRun()
{
    if (previewRun_)
        previewRun_->start();
}

void ContentView::setBugReporting(UrlOpener &opener, const VersionInfo &version)
{
    urlOpener_ = &opener;
    version_ = version;
    fileRevealer_ = std::make_unique<DesktopFileRevealer>(opener);
    explorer_->setRevealer(fileRevealer_.get());
}

QUrl ContentView::bugReportURL(const VersionInfo &version)
{
    const QString programVersion = version.shortVersion.isEmpty() ? u"dev"_s : version.shortVersion;
    return CrashDetection::supportMailURL(u"Quillmark Bug Report"_s,
                                          u"Describe what happened:\n\n\n---\nQuillmark "_s +
                                              programVersion + u'\n' + version.systemVersion);
}

void ContentView::reportBug()
{
    const QUrl url = bugReportURL(version_);
    if (urlOpener_ && url.isValid())
        urlOpener_->open(url);
}

void ContentView::presentFileActionError(const QString &description)
{
    dialogs_.presentError(description);
}

void ContentView::showExportErrorIfAny()
{
    if (!engine_ || !engine_->exportErrorMessage())
        return;
    const QString message = *engine_->exportErrorMessage();
    presentExportError(message);
    if (engine_)
        engine_->clearExportErrorMessage();
}

void ContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!engine_)
        return;
    if (!shownBefore_) {
        shownBefore_ = true;
        engine_->setOnArtifactsWritten(
            [this] { settings_.setExplorerRefreshTick(settings_.explorerRefreshTick() + 1); });
    }
    // Started once this showing has been painted, so the window appears without waiting for
    // the engine's process.
    engineStartPending_ = true;
    update();
}

void ContentView::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!engineStartPending_)
        return;
    engineStartPending_ = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (engine_)
                engine_->ensureStarted();
        },
        Qt::QueuedConnection);
}

void ContentView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    banner_->reposition();
}

void ContentView::setActionsRow(QWidget *actionsRow)
{
    delete layout()->replaceWidget(actionsRow_, actionsRow);
    delete actionsRow_;
    actionsRow_ = actionsRow;
}
