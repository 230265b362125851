#include "canvas/CanvasView.h"

#include "canvas/BandFrameTracker.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CrossBandDragState.h"
#include "canvas/DragGhostOverlay.h"
#include "canvas/GuidesOverlay.h"
#include "canvas/MultiDragState.h"
#include "canvas/ScrollAwareRuler.h"
#include "canvas/ScrollOffsetTracker.h"
#include "canvas/ZoomBar.h"
#include "canvas/ZoomGestureAnchor.h"
#include "document/DocumentStore.h"

#include <QFrame>
#include <QGridLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The square where the two rulers meet, shaded as they are.
class RulerCorner : public QWidget {
public:
    RulerCorner() { setFixedSize(RulerView::thickness, RulerView::thickness); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), RulerView::background());
    }
};

} // namespace

CanvasView::CanvasView(QWidget *parent)
    : QWidget(parent), frameTracker_(new BandFrameTracker(this)),
      multiDragState_(new MultiDragState(this)), crossBandDragState_(new CrossBandDragState(this)),
      scrollTracker_(new ScrollOffsetTracker(this)),
      zoomGestureAnchor_(new ZoomGestureAnchor(this)), scene_(new CanvasScene(this)),
      view_(new CanvasGraphicsView(scene_, scrollTracker_, frameTracker_, zoomGestureAnchor_)),
      zoomBar_(new ZoomBar(zoomGestureAnchor_)),
      horizontalRuler_(new ScrollAwareRuler(Qt::Horizontal, scrollTracker_,
                                            [this](double p) {
                                                if (store_)
                                                    store_->toggleVerticalGuide(p);
                                            })),
      verticalRuler_(new ScrollAwareRuler(Qt::Vertical, scrollTracker_,
                                          [this](double p) {
                                              if (store_)
                                                  store_->toggleHorizontalGuide(p);
                                          })),
      guidesOverlay_(new GuidesOverlay(scrollTracker_, nullptr)),
      ghostOverlay_(new DragGhostOverlay(crossBandDragState_, frameTracker_, nullptr))
{
    auto *corner = new RulerCorner;

    auto *divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    auto *work = new QGridLayout;
    work->setContentsMargins(0, 0, 0, 0);
    work->setSpacing(0);
    work->addWidget(corner, 0, 0);
    work->addWidget(horizontalRuler_, 0, 1);
    work->addWidget(verticalRuler_, 1, 0);
    work->addWidget(view_, 1, 1);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(zoomBar_);
    column->addWidget(divider);
    column->addLayout(work, 1);

    prepare(scene_);
    view_->addOverlay(guidesOverlay_);
    view_->addOverlay(ghostOverlay_);
    connect(view_, &CanvasGraphicsView::pinchMagnificationChanged, this,
            [this] { zoomBar_->setPinchMagnification(view_->pinchMagnification()); });
}

CanvasScene *CanvasView::prepare(CanvasScene *scene)
{
    scene->setDragStates(frameTracker_, multiDragState_, crossBandDragState_);
    if (settings_)
        scene->setSettings(settings_);
    if (clock_)
        scene->setClock(clock_);
    if (environment_)
        scene->setEnvironment(*environment_);
    // After the scene has laid the page out for a changed report.
    connect(scene, &CanvasScene::layoutChanged, this, [this, scene] {
        if (scene == scene_)
            syncRulers();
    });
    return scene;
}

QList<CanvasScene *> CanvasView::scenes() const
{
    return findChildren<CanvasScene *>(Qt::FindDirectChildrenOnly);
}

CanvasScene *CanvasView::sceneOf(const DocumentStore *store) const
{
    return pages_.value(store).scene;
}

CanvasScene *CanvasView::pageFor(DocumentStore *store)
{
    if (!store)
        return scene_->store() ? prepare(new CanvasScene(this)) : scene_;
    if (CanvasScene *kept = pages_.value(store).scene)
        return kept;
    CanvasScene *scene = scene_->store() ? prepare(new CanvasScene(this)) : scene_;
    pages_.insert(store, {scene, {}, connect(store, &QObject::destroyed, this, [this, store] {
                              forget(store);
                          })});
    return scene;
}

void CanvasView::forget(const DocumentStore *store)
{
    recent_.removeOne(store);
    const Page page = pages_.take(store);
    disconnect(page.storeGone);
    // The page shown now goes once another is shown.
    if (page.scene != scene_)
        delete page.scene;
}

void CanvasView::keepRecentPages()
{
    while (recent_.size() > keptPages)
        forget(recent_.constLast());
}

void CanvasView::setStore(DocumentStore *store)
{
    for (const QMetaObject::Connection &connection : std::as_const(storeConnections_))
        disconnect(connection);
    storeConnections_.clear();
    if (store_ && pages_.contains(store_))
        pages_[store_].scrolled = view_->scrolled();
    store_ = store;
    if (store) {
        for (auto signal : {&DocumentStore::zoomLevelChanged, &DocumentStore::verticalGuidesChanged,
                            &DocumentStore::horizontalGuidesChanged})
            storeConnections_.append(connect(store, signal, this, &CanvasView::syncRulers));
    }
    CanvasScene *shown = pageFor(store);
    if (shown != scene_) {
        // The page left behind ends its gestures; nothing of them lasts into the next.
        CanvasScene *left = scene_;
        left->setShown(false);
        scene_ = shown;
        view_->showScene(shown);
        shown->setShown(true);
        if (!left->store() || pages_.value(left->store()).scene != left)
            left->deleteLater();
    }
    shown->setStore(store);
    if (store) {
        recent_.removeOne(store);
        recent_.prepend(store);
        keepRecentPages();
    }
    multiDragState_->reset();
    crossBandDragState_->reset();
    view_->setStore(store, pages_.value(store).scrolled);
    zoomBar_->setStore(store);
    guidesOverlay_->setStore(store);
    ghostOverlay_->setStore(store);
    syncRulers();
}

void CanvasView::setMeasurementUnit(MeasurementUnit unit)
{
    horizontalRuler_->setUnit(unit);
    verticalRuler_->setUnit(unit);
}

void CanvasView::setBandSettings(const BandSettings *settings)
{
    settings_ = settings;
    for (CanvasScene *scene : scenes())
        scene->setSettings(settings);
}

void CanvasView::bandSettingsChanged()
{
    for (CanvasScene *scene : scenes())
        scene->settingsChanged();
}

void CanvasView::setClock(const AppClock *clock)
{
    clock_ = clock;
    for (CanvasScene *scene : scenes())
        scene->setClock(clock);
}

void CanvasView::setEnvironment(const ElementEnvironment &environment)
{
    environment_ = environment;
    for (CanvasScene *scene : scenes())
        scene->setEnvironment(environment);
}

void CanvasView::setTabStrip(QWidget *tabStrip)
{
    zoomBar_->setTabStrip(tabStrip);
}

void CanvasView::setTrailingToolbar(QWidget *toolbar)
{
    zoomBar_->setTrailingToolbar(toolbar);
}

void CanvasView::syncRulers()
{
    if (!store_)
        return;
    const ReportDocument &doc = store_->document();
    const canvas::PageGeometry &page = scene_->page();
    horizontalRuler_->setPageLength(page.pageWidth);
    horizontalRuler_->setMarginOffset(doc.leftMargin);
    horizontalRuler_->setGuides(store_->verticalGuides());
    horizontalRuler_->setZoomLevel(store_->zoomLevel());
    verticalRuler_->setPageLength(page.pageHeight);
    verticalRuler_->setMarginOffset(doc.topMargin);
    verticalRuler_->setGuides(store_->horizontalGuides());
    verticalRuler_->setZoomLevel(store_->zoomLevel());
}
