#include "inspector/InspectorView.h"

#include "document/DocumentStore.h"
#include "engine/SidecarModel.h"
#include "inspector/BandInspector.h"
#include "inspector/BoxDiagram.h"
#include "inspector/DataItemInspector.h"
#include "inspector/ElementInspector.h"
#include "inspector/MultiSelectInspector.h"
#include "inspector/ReportInspector.h"
#include "widgets/AppPalettes.h"
#include "widgets/TextInputFocus.h"
#include "widgets/WheelGuard.h"

#include <QEvent>
#include <QVBoxLayout>

InspectorView::InspectorView(AppSettings &settings, SidecarModel *sidecar,
                             ImageImportCoordinator *imageImport, QWidget *parent)
    : QScrollArea(parent), settings_(settings), sidecar_(sidecar), imageImport_(imageImport),
      paddingSelection_(new PaddingSideSelectionState(this)), column_(new QWidget),
      columnLayout_(new QVBoxLayout(column_))
{
    setObjectName(QStringLiteral("InspectorView"));
    // Its fields edit the report: Undo and Redo typed in them are the window's.
    markReportPanel(this);
    // Scrolling the panel changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    setMinimumWidth(90);
    setFrameShape(QFrame::NoFrame);
    // A column narrower than its cards scrolls sideways rather than cutting them off.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    // The background of large controls, under the whole column.
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);
    column_->setObjectName(QStringLiteral("inspector.column"));
    column_->setBackgroundRole(QPalette::Base);
    column_->setAutoFillBackground(true);
    // Every inspector inherits the panel's 10-point font.
    QFont panelFont = font();
    panelFont.setPointSizeF(10);
    column_->setFont(panelFont);
    columnLayout_->setContentsMargins(12, 12, 12, 12);
    columnLayout_->setSpacing(12);
    columnLayout_->addStretch(1);
    setWidget(column_);
    applyColumnPalette();
}

void InspectorView::changeEvent(QEvent *event)
{
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyColumnPalette();
}

void InspectorView::applyColumnPalette()
{
    AppPalettes::outlineControlsOnBase(column_, palette());
}

void InspectorView::setStore(DocumentStore *store)
{
    if (store && store == store_)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(storeConnections_))
        disconnect(connection);
    storeConnections_.clear();
    store_ = store;
    structure_.reset();
    if (store) {
        for (auto changed :
             {&DocumentStore::documentChanged, &DocumentStore::selectedElementIDsChanged,
              &DocumentStore::selectedDataItemChanged, &DocumentStore::isReportRootSelectedChanged,
              &DocumentStore::activeBandTargetChanged})
            storeConnections_.append(connect(store, changed, this, &InspectorView::refresh));
        storeConnections_.append(
            connect(store, &QObject::destroyed, this, [this] { setStore(nullptr); }));
    }
    refresh();
}

void InspectorView::setImageImport(ImageImportCoordinator *imageImport)
{
    if (imageImport == imageImport_)
        return;
    imageImport_ = imageImport;
    structure_.reset();
    refresh();
}

std::optional<InspectorKind> InspectorView::shownKind() const
{
    if (!structure_)
        return std::nullopt;
    return structure_->kind;
}

void InspectorView::refresh()
{
    if (isRefreshing_) {
        refreshAgain_ = true;
        return;
    }
    isRefreshing_ = true;
    do {
        refreshAgain_ = false;
        refreshOnce();
    } while (refreshAgain_);
    isRefreshing_ = false;
}

void InspectorView::refreshOnce()
{
    if (!store_) {
        dropInspector();
        structure_.reset();
        return;
    }
    const InspectorChoice choice = chooseInspector(*store_);
    const InspectorStructure structure = inspectorStructure(choice, store_->document());
    if (page_ && structure_ == structure) {
        page_->refresh(*store_, choice);
        return;
    }
    // Dropping the old inspector may commit a field that loses the focus; that write is judged
    // by the card's own element or band, and any change it makes asks for another round.
    dropInspector();
    structure_ = structure;
    page_ = build(choice);
    columnLayout_->insertWidget(0, page_);
    page_->refresh(*store_, choice);
}

InspectorPage *InspectorView::build(const InspectorChoice &choice)
{
    const InspectorContext context{store_,       &settings_,        sidecar_,
                                   imageImport_, paddingSelection_, dialogs_};
    switch (choice.kind) {
    case InspectorKind::multiSelection:
        return new MultiSelectInspector(column_);
    case InspectorKind::element:
        return new ElementInspector(context, *choice.element, store_->document(), column_);
    case InspectorKind::dataItem:
        return new DataItemInspector(context, *choice.dataItem, column_);
    case InspectorKind::report:
        return new ReportInspector(context, column_);
    case InspectorKind::band:
        return new BandInspector(context, choice.band, column_);
    }
    return nullptr;
}

void InspectorView::dropInspector()
{
    InspectorPage *old = page_;
    if (!old)
        return;
    page_ = nullptr;
    // The focused field hands in its last edit now, while its card can still judge it; the focus
    // then goes nowhere rather than into the next inspector's first field.
    if (QWidget *focused = old->focusWidget(); focused && focused->hasFocus())
        focused->clearFocus();
    old->hide();
    columnLayout_->removeWidget(old);
    // Later: the old inspector may be the sender of the signal that led here.
    old->deleteLater();
}
