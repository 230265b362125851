#include "canvas/CanvasGraphicsView.h"

#include "canvas/BandFrameTracker.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasScene.h"
#include "canvas/ScrollOffsetTracker.h"
#include "canvas/ZoomGestureAnchor.h"
#include "document/DocumentStore.h"

#include <QNativeGestureEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace {

// One notch of the wheel (120 units) zooms by this factor.
constexpr double wheelNotchFactor = 1.1;

} // namespace

CanvasGraphicsView::CanvasGraphicsView(CanvasScene *scene, ScrollOffsetTracker *scrollTracker,
                                       BandFrameTracker *frameTracker,
                                       ZoomGestureAnchor *zoomAnchor, QWidget *parent)
    : QGraphicsView(scene, parent), scene_(scene), scrollTracker_(scrollTracker),
      frameTracker_(frameTracker), zoomAnchor_(zoomAnchor)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    applyBackground();
    layoutConnection_ =
        connect(scene, &CanvasScene::layoutChanged, this, &CanvasGraphicsView::applyZoom);
}

void CanvasGraphicsView::showScene(CanvasScene *scene)
{
    if (scene == scene_)
        return;
    disconnect(layoutConnection_);
    scene_ = scene;
    setScene(scene);
    layoutConnection_ =
        connect(scene, &CanvasScene::layoutChanged, this, &CanvasGraphicsView::applyZoom);
}

// Follows the appearance: the palette changes when the user switches between light and dark.
void CanvasGraphicsView::changeEvent(QEvent *event)
{
    QGraphicsView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyBackground();
}

void CanvasGraphicsView::applyBackground()
{
    setBackgroundBrush(palette().color(QPalette::Window).darker(112));
}

void CanvasGraphicsView::setStore(DocumentStore *store, QPoint scrolled)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    if (store)
        connect(store, &DocumentStore::zoomLevelChanged, this, &CanvasGraphicsView::applyZoom);
    applyZoom();
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum() + scrolled.x());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum() + scrolled.y());
}

QPoint CanvasGraphicsView::scrolled() const
{
    return {horizontalScrollBar()->value() - horizontalScrollBar()->minimum(),
            verticalScrollBar()->value() - verticalScrollBar()->minimum()};
}

void CanvasGraphicsView::addOverlay(QWidget *overlay)
{
    overlay->setParent(this);
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlays_.append(overlay);
    placeOverlays();
    overlay->show();
    overlay->raise();
}

void CanvasGraphicsView::placeOverlays()
{
    for (QWidget *overlay : std::as_const(overlays_))
        overlay->setGeometry(viewport()->geometry());
}

void CanvasGraphicsView::pinchChanged(double magnification)
{
    if (!store_)
        return;
    if (!zoomAnchor_->startLevel())
        zoomAnchor_->setStartLevel(store_->zoomLevel());
    pinchMagnification_ = magnification;
    const double scale = store_->zoomLevel() * pinchMagnification_;
    setTransform(QTransform::fromScale(scale, scale));
    emit pinchMagnificationChanged();
}

void CanvasGraphicsView::pinchEnded()
{
    if (!store_)
        return;
    const double level =
        canvas::pinchEndZoom(pinchMagnification_, zoomAnchor_->startLevel(), store_->zoomLevel());
    zoomAnchor_->setStartLevel(std::nullopt);
    pinchMagnification_ = 1.0;
    emit pinchMagnificationChanged();
    store_->setZoomLevel(level);
    applyZoom();
}

void CanvasGraphicsView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    // A Ctrl+wheel step is a whole pinch: it changes and ends at once.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) {
        pinchChanged(std::pow(wheelNotchFactor, notches));
        pinchEnded();
    }
    event->accept();
}

bool CanvasGraphicsView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        placeOverlays();
        publishGeometry();
    }
    if (event->type() == QEvent::NativeGesture) {
        auto *gesture = static_cast<QNativeGestureEvent *>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            pinchChanged(pinchMagnification_ * (1.0 + gesture->value()));
            return true;
        }
        if (gesture->gestureType() == Qt::EndNativeGesture && zoomAnchor_->startLevel()) {
            pinchEnded();
            return true;
        }
    }
    return QGraphicsView::viewportEvent(event);
}

void CanvasGraphicsView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    publishGeometry();
}

void CanvasGraphicsView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    publishGeometry();
}

void CanvasGraphicsView::applyZoom()
{
    // The scroll position is kept as the distance scrolled from the padded top-left corner, so
    // the page scales about that corner and an unscrolled page stays unscrolled.
    const QPoint before = scrolled();
    const double zoom = store_ ? store_->zoomLevel() : 1.0;
    const double scale = zoom * pinchMagnification_;
    setTransform(QTransform::fromScale(scale, scale));
    // The padding is in view points, so it shrinks in scene units as the page grows.
    const canvas::PageGeometry &page = scene_->page();
    setSceneRect(canvas::scrolledArea(QSizeF(page.pageWidth, page.pageHeight),
                                      canvas::scrollPadding / zoom));
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum() + before.x());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum() + before.y());
    publishGeometry();
}

void CanvasGraphicsView::publishGeometry()
{
    const QTransform toViewport = viewportTransform();
    scrollTracker_->setOffset(toViewport.map(QPointF(0, 0)));
    BandFrameTracker::Frames frames;
    for (const BandTarget &target : scene_->targets())
        frames.insert(target, toViewport.mapRect(scene_->bodySceneRect(target)));
    frameTracker_->setFrames(frames);
}
