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
#include "app/RefusalBar.h"
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
    refusalBar_ = new RefusalBar(settings_, this);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(actionsRow_);
    stack->addWidget(horizontalDivider(this));
    stack->addWidget(toolStrip_);
    stack->addWidget(horizontalDivider(this));
    stack->addWidget(warningsBar_);
    stack->addWidget(refusalBar_);
    stack->addWidget(buildWorkingArea(engine), 1);

    banner_ = new BusyBanner(this);
    buildSheets();
    dataPanelSheet_ = new DataPanelSheet(workspace_, settings_, &engine, this);
    dataPanelSheet_->setDialogs(&dialogs_);
    canvas_->setEnvironment(ElementEnvironment{&workspace_, &settings_, &dialogs_,
                                               expressionEngine_.get(), nullptr, imageImport_});

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
    inspector_->setDialogs(&dialogs_);

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

SheetDialog *ContentView::addSheet(const QString &name, const QSize &minimumSize, QWidget *content,
                                   std::function<void()> dismiss)
{
    auto *sheet = new SheetDialog(this, std::move(dismiss));
    sheet->setObjectName(name);
    sheet->setMinimumSize(minimumSize);
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return sheet;
}

void ContentView::showWhile(OnDemand<SheetDialog> &sheet, bool isShown)
{
    if (SheetDialog *dialog = isShown ? sheet.get() : sheet.ifBuilt())
        dialog->setShown(isShown);
}

void ContentView::buildSheets()
{
    // Nothing of a sheet exists before it is first shown: its flag builds it.
    pageSetupSheet_ = OnDemand<SheetDialog>([this] { return buildPageSetupSheet(); });
    connect(&workspace_, &WorkspaceModel::isPageSetupVisibleChanged, this,
            [this] { showWhile(pageSetupSheet_, workspace_.isPageSetupVisible()); });
    sourceSheet_ = OnDemand<SheetDialog>([this] { return buildSourceSheet(); });
    connect(&workspace_, &WorkspaceModel::isSourceVisibleChanged, this,
            [this] { showWhile(sourceSheet_, workspace_.isSourceVisible()); });
    // "New..." and the "New Report" button show the wizard, which opens the new tab itself.
    new NewReportWizardSheet(workspace_, settings_, this);
    // The prompt follows its flag by itself once built; dismissing it drops the pending run.
    parameterPrompt_ = OnDemand<QWidget>([this] {
        auto *prompt = new ParameterValuesSheet(&workspace_, this);
        prompt->setIsWorkspaceSheet(true);
        return prompt;
    });
    connect(&workspace_, &WorkspaceModel::isParameterPromptVisibleChanged, this, [this] {
        if (workspace_.isParameterPromptVisible())
            parameterPrompt_.get();
    });
    // The "Add Image" sheet shows while the image import has a pending import.
    imageImportSheet_ = OnDemand<QWidget>(
        [this] { return new ImageImportOptionsSheet(*imageImport_, workspace_, this); });
    connect(imageImport_, &ImageImportCoordinator::pendingChanged, this, [this] {
        if (imageImport_->pending())
            imageImportSheet_.get();
    });
}

SheetDialog *ContentView::buildPageSetupSheet()
{
    WorkspaceModel &w = workspace_;
    pageSetup_ = new PageSetupView(workspace_.activeStore(), settings_,
                                   [&w] { w.setIsPageSetupVisible(false); });
    auto *sheet = addSheet(u"PageSetupSheet"_s, {420, 480}, pageSetup_,
                           [&w] { w.setIsPageSetupVisible(false); });
    sheet->setIsWorkspaceSheet(true);
    sheet->setEditsActiveReport(true);
    sheet->resize(460, 680);
    return sheet;
}

SheetDialog *ContentView::buildSourceSheet()
{
    WorkspaceModel &w = workspace_;
    sourceSheetContent_ = new SourceSheet(workspace_, dialogs_);
    auto *sheet = addSheet(u"SourceSheet"_s, {650, 800}, sourceSheetContent_,
                           [&w] { w.setIsSourceVisible(false); });
    sheet->setIsWorkspaceSheet(true);
    // Its text may be work not applied yet: every way of closing it asks the sheet first.
    sheet->setClosesOnlyByFlag(true);
    workspace_.setSourceCloseCheck([sheet = QPointer<SourceSheet>(sourceSheetContent_)] {
        return !sheet || sheet->confirmClose();
    });
    return sheet;
}

SourceSheet *ContentView::sourceSheet()
{
    sourceSheet_.get();
    return sourceSheetContent_;
}

PageSetupView *ContentView::pageSetup()
{
    pageSetupSheet_.get();
    return pageSetup_;
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
        if (pageSetup_)
            pageSetup_->setStore(store);
        subreportConnection_ = connect(store, &DocumentStore::creatingSubreportElementIDsChanged,
                                       this, &ContentView::refreshBanner);
    }
    warningsBar_->showFor(store);
    refusalBar_->setStore(store);
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
    std::function<void()> cancel;
    if (busyJobCanBeCancelled(flags)) {
        if (flags.isExporting)
            cancel = [this] { engine_->cancelExport(); };
        else
            cancel = cancelCompileAll_;
    }
    banner_->setCancel(std::move(cancel));
    banner_->setMessage(busyStatusMessage(flags));
}

void ContentView::presentExportError(const QString &rawError)
{
    dialogs_.runAlert({AlertRequest::Style::warning,
                       u"Export Failed"_s,
                       FriendlyErrorTranslator::annotate(
                           rawError, activeStore_ ? &activeStore_->document() : nullptr),
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
    connect(trailingToolbar_, &CanvasTrailingToolbar::sourceRequested, this,
            [this] { sourceSheet()->openFromActiveReport(); });
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
    previewSheet_ = OnDemand<SheetDialog>([this] { return buildPreviewSheet(); });
    connect(engine, &SidecarModel::previewSessionChanged, this,
            [this] { showWhile(previewSheet_, engine_ && engine_->previewSession().has_value()); });
}

SheetDialog *ContentView::buildPreviewSheet()
{
    if (!engine_)
        return nullptr;
    previewSheetContent_ = new PreviewSheet(*engine_);
    previewSheetContent_->setReport([this]() -> const ReportDocument * {
        return activeStore_ ? &activeStore_->document() : nullptr;
    });
    auto *sheet = addSheet(u"PreviewSheet"_s, {650, 800}, previewSheetContent_, [this] {
        if (engine_)
            engine_->setPreviewSession(std::nullopt);
    });
    return sheet;
}

PreviewSheet *ContentView::previewSheet()
{
    previewSheet_.get();
    return previewSheetContent_;
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
        CrashDetection::sendSupportMail(url, dialogs_, *urlOpener_, this);
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
