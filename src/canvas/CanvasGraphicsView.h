#pragma once

#include "document/DocumentStore.h"
#include <QGraphicsView>
#include <QPointer>

class BandFrameTracker;
class CanvasScene;

class ScrollOffsetTracker;
class ZoomGestureAnchor;

// The scroll area of the canvas: shows the page scaled by the store's zoom level (times a pinch
// in progress), 24 view points of padding around it, top-left aligned. It keeps the scroll
// offset and the band frames, both in its viewport's coordinates, up to date, and turns Ctrl+wheel
// and pinch gestures into zoom levels.
class CanvasGraphicsView : public QGraphicsView {
    Q_OBJECT
public:
    CanvasGraphicsView(CanvasScene *scene, ScrollOffsetTracker *scrollTracker,
                       BandFrameTracker *frameTracker, ZoomGestureAnchor *zoomAnchor,
                       QWidget *parent = nullptr);

    // Shows another page: a scene kept for a report, or a new one.
    void showScene(CanvasScene *scene);
    // Follows the store's zoom level; the page is scrolled by `scrolled` view points from its
    // padded top-left corner (a report shown for the first time starts there).
    void setStore(DocumentStore *store, QPoint scrolled = {});
    // How far the page is scrolled from its padded top-left corner, in view points.
    QPoint scrolled() const;
    // Lays a widget over the viewport, kept at the viewport's geometry; it takes no clicks.
    void addOverlay(QWidget *overlay);
    double pinchMagnification() const { return pinchMagnification_; }

    // A pinch as the gesture reports it: the magnification so far, then its end.
    void pinchChanged(double magnification);
    void pinchEnded();

signals:
    void pinchMagnificationChanged();

protected:
    void wheelEvent(QWheelEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;

private:
    void applyZoom();
    void applyBackground();
    void publishGeometry();
    void placeOverlays();

    CanvasScene *scene_;
    QMetaObject::Connection layoutConnection_;
    ScrollOffsetTracker *scrollTracker_;
    BandFrameTracker *frameTracker_;
    ZoomGestureAnchor *zoomAnchor_;
    QPointer<DocumentStore> store_;
    double pinchMagnification_ = 1.0;
    QList<QWidget *> overlays_;
};
