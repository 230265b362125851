#include "canvas/CanvasScene.h"

#include "canvas/CrossBandDragState.h"
#include "document/DocumentStore.h"
#include "document/ExpressionLanguages.h"
#include "model/AbsentSections.h"
#include "setup/ImageExpression.h"

#include <QEvent>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QPen>
#include <QPixmapCache>
#include <algorithm>

CanvasScene::CanvasScene(QObject *parent)
    : QGraphicsScene(parent), sheet_(new QGraphicsRectItem), margin_(new QGraphicsRectItem),
      stack_(new QGraphicsRectItem)
{
    // Not indexed: the items of a dragged selection move at every step, which an index pays for
    // item by item (and holds over a kilobyte an element), while a walk over a page's items to
    // find the exposed ones is cheap.
    setItemIndexMethod(QGraphicsScene::NoIndex);
    // Room for the pictures of the faces that the elements keep.
    QPixmapCache::setCacheLimit(
        std::max(QPixmapCache::cacheLimit(), ElementFaceCache::cacheKilobytes));
    context_.clock = &systemClock_;
    context_.relayout = [this] { layoutBands(); };
    context_.views = &views_;
    context_.lackMarks = &lackMarks_.marks();
    environment_.images = &images_;
    context_.environment = &environment_;
    followImages(&images_);
    busyTimer_.setInterval(80);
    connect(&busyTimer_, &QTimer::timeout, this, [this] { update(); });
    sheet_->setBrush(Qt::white);
    sheet_->setPen(Qt::NoPen);
    QPen dashed(QColor(128, 128, 128, 128), 1);
    dashed.setDashPattern({4, 3});
    margin_->setPen(dashed);
    margin_->setBrush(Qt::NoBrush);
    stack_->setPen(Qt::NoPen);
    stack_->setBrush(Qt::NoBrush);
    addItem(sheet_);
    addItem(margin_);
    addItem(stack_);
}

CanvasScene::~CanvasScene()
{
    // The items go while the context, registry and loader they use are still there, and so does
    // a view that left the scene in its own mouse handler and was not deleted yet.
    views_.deleteLeaving();
    clear();
}

void CanvasScene::setSettings(const BandSettings *settings)
{
    context_.settings = settings;
    settingsChanged();
}

void CanvasScene::settingsChanged()
{
    // The grid is on or off, or of another size.
    repaintBands();
}

void CanvasScene::repaintBands()
{
    for (BandItem *band : std::as_const(bands_))
        band->update();
}

bool CanvasScene::event(QEvent *event)
{
    // The accent and grey of the band strips follow the appearance.
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)
        repaintBands();
    return QGraphicsScene::event(event);
}

void CanvasScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Selected elements draw their handles themselves; the items that take a press on them are
    // made only for the elements whose handles could be under the pointer, so that the press
    // finds the handle it would find had every selected element its items.
    if (context_.store && event->button() == Qt::LeftButton) {
        for (const QUuid &id : context_.store->selectedElementIDs()) {
            ElementView *view = views_.view(id);
            if (view && view->handlesReach(event->scenePos()))
                view->makeHandles();
        }
    }
    QGraphicsScene::mousePressEvent(event);
}

void CanvasScene::setClock(const AppClock *clock)
{
    context_.clock = clock ? clock : &systemClock_;
}

void CanvasScene::setDragStates(BandFrameTracker *frameTracker, MultiDragState *multiDrag,
                                CrossBandDragState *crossBand)
{
    context_.frameTracker = frameTracker;
    context_.multiDrag = multiDrag;
    context_.crossBand = crossBand;
    views_.setState(crossBand);
    // Only the selected elements follow a drag: they are placed from here, with no connection
    // of their own to make and break as the selection changes.
    if (multiDrag)
        connect(multiDrag, &MultiDragState::changed, this, &CanvasScene::placeDragFollowers);
    if (crossBand)
        connect(crossBand, &CrossBandDragState::changed, this, [this] { views_.follow(); });
}

void CanvasScene::placeDragFollowers()
{
    if (!context_.store)
        return;
    for (const QUuid &id : context_.store->selectedElementIDs()) {
        if (ElementView *view = views_.view(id))
            view->followDrag();
    }
}

void CanvasScene::setEnvironment(const ElementEnvironment &environment)
{
    ElementImageLoader *const followed = environment_.images;
    environment_ = environment;
    if (!environment_.images)
        environment_.images = &images_;
    if (environment_.images != followed) {
        followed->disconnect(this);
        followImages(environment_.images);
    }
    update();
}

void CanvasScene::followImages(ElementImageLoader *images)
{
    connect(images, &ElementImageLoader::imageChanged, this, &CanvasScene::pictureArrived);
}

void CanvasScene::pictureArrived(const QUrl &url)
{
    // Only the elements of the report shown that name the picture now: a picture asked for by
    // an element whose expression has changed since, or by a report no longer shown, repaints
    // nothing.
    const std::optional<QUrl> reportURL = context_.store ? context_.store->fileURL() : std::nullopt;
    for (ElementView *view : views_.views()) {
        const auto *image = view->element().kind.as<ElementKind::Image>();
        if (image && ImageExpression::resolve(image->expression, reportURL) == url)
            view->update();
    }
}

void CanvasScene::setStore(DocumentStore *store)
{
    if (context_.store == store)
        return;
    // A gesture on the page the report leaves ends here; its release would otherwise reach the
    // next report.
    endGestures();
    if (context_.store)
        context_.store->disconnect(this);
    context_.store = store;
    if (store) {
        connect(store, &DocumentStore::documentChanged, this, &CanvasScene::syncDocument);
        connect(store, &DocumentStore::activeBandTargetChanged, this, &CanvasScene::syncActiveBand);
        connect(store, &DocumentStore::selectedElementIDsChanged, this,
                &CanvasScene::syncSelection);
        connect(store, &DocumentStore::fileURLChanged, this, [this] { update(); });
        connect(store, &DocumentStore::creatingSubreportElementIDsChanged, this,
                &CanvasScene::syncBusySubreports);
    }
    syncDocument();
    syncBusySubreports();
}

void CanvasScene::setShown(bool shown)
{
    if (shown == isShown_)
        return;
    isShown_ = shown;
    if (!shown) {
        endGestures();
        busyTimer_.stop();
        return;
    }
    if (isStale_) {
        isStale_ = false;
        syncDocument();
        syncSelection();
    }
    syncBusySubreports();
}

void CanvasScene::endGestures()
{
    if (QGraphicsItem *grabber = mouseGrabberItem())
        grabber->ungrabMouse();
    // An inline field that loses the focus keeps what was typed and closes.
    clearFocus();
}

bool CanvasScene::follows()
{
    isStale_ = isStale_ || !isShown_;
    return isShown_;
}

void CanvasScene::syncBusySubreports()
{
    if (!follows())
        return;
    const bool busy = context_.store && !context_.store->creatingSubreportElementIDs().isEmpty();
    if (busy != busyTimer_.isActive())
        busy ? busyTimer_.start() : busyTimer_.stop();
    update();
}

QRectF CanvasScene::bodySceneRect(const BandTarget &target) const
{
    const BandItem *band = bands_.value(target);
    return band ? band->mapRectToScene(band->bodyRect()) : QRectF();
}

void CanvasScene::syncDocument()
{
    if (!follows())
        return;
    DocumentStore *store = context_.store;
    const ReportDocument document = store ? store->document() : ReportDocument();
    targets_ = store ? canvas::orderedTargets(document) : QList<BandTarget>();
    const bool canRemove = document.detailBands.size() > 1;
    // Lists that share their data compare at once.
    if (!(document.styles == shownStyles_)) {
        shownStyles_ = document.styles;
        ++context_.faceGeneration;
        update();
    }

    QHash<BandTarget, BandItem *> kept;
    for (const BandTarget &target : std::as_const(targets_)) {
        BandItem *band = bands_.take(target);
        if (!band)
            band = new BandItem(target, &context_, stack_);
        kept.insert(target, band);
        // A section the file leaves out prints nothing: a strip named as absent.
        const QString label = AbsentSections::isLeftOut(document, target)
                                  ? store->label(target) + AbsentSections::absentMark
                                  : store->label(target);
        band->setBand(label, store->width(target), store->height(target),
                      store->activeBandTarget() == target, canRemove);
        // Only bands whose elements changed can hold items that show a stale selection.
        if (band->setElements(store->elements(target)))
            band->showSelection(store->selectedElementIDs());
    }
    qDeleteAll(bands_);
    bands_ = kept;
    syncLackMarks(document);
    layoutBands();
}

void CanvasScene::syncLackMarks(const ReportDocument &document)
{
    // The elements copied from a report of another expression language, as they came.
    QHash<QUuid, QString> languageNotes;
    if (const DocumentStore *store = context_.store) {
        for (const QUuid &id : store->writtenElsewhere()) {
            if (const std::optional<QString> written = store->writtenInOtherLanguage(id))
                languageNotes.insert(id, ExpressionLanguages::note(*written, document.language));
        }
    }
    // Only the marks that changed: a view made anew took its own.
    const QHash<QUuid, QStringList> &marks = lackMarks_.follow(document, languageNotes);
    for (const QUuid &id : lackMarks_.changed()) {
        if (ElementView *view = views_.view(id))
            view->setLacks(marks.value(id));
    }
}

void CanvasScene::layoutBands()
{
    const ReportDocument document = context_.store ? context_.store->document() : ReportDocument();
    QList<double> heights;
    heights.reserve(targets_.size());
    double y = 0;
    for (const BandTarget &target : std::as_const(targets_)) {
        BandItem *band = bands_.value(target);
        band->setPos(0, y);
        heights.append(band->bodyHeight());
        y += canvas::headerStripHeight + band->bodyHeight();
    }
    page_ = canvas::pageGeometry(document, heights);
    // A page larger than the canvas draws is drawn up to there (the page lies at the origin).
    const QRectF sheet =
        canvas::drawnPart(QRectF(0, 0, page_.pageWidth, page_.pageHeight), QPointF());
    sheet_->setRect(sheet);
    // A scene without a rectangle of its own measures all its items after every change; the
    // views show the page (with padding of their own).
    setSceneRect(sheet);
    // The outline lies inside the rectangle's bounds; a rectangle too small for that is drawn
    // as a line or a point, not turned inside out.
    const QRectF margin = page_.marginRect.adjusted(0.5, 0.5, -0.5, -0.5);
    margin_->setRect(
        canvas::drawnPart(QRectF(margin.topLeft(), QSizeF(std::max(margin.width(), 0.0),
                                                          std::max(margin.height(), 0.0))),
                          QPointF()));
    stack_->setPos(document.leftMargin, document.topMargin);
    for (BandItem *band : std::as_const(bands_))
        band->placed();
    emit layoutChanged();
}

void CanvasScene::syncActiveBand()
{
    // The active band only changes the look of the bands; the rest follows the document.
    syncDocument();
}

void CanvasScene::syncSelection()
{
    if (!follows() || !context_.store)
        return;
    for (BandItem *band : std::as_const(bands_))
        band->showSelection(context_.store->selectedElementIDs());
}
