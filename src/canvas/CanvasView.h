#pragma once

#include "canvas/ElementEnvironment.h"
#include "document/DocumentStore.h"
#include "model/MeasurementUnit.h"

#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <optional>

class BandFrameTracker;
class AppClock;
class BandSettings;
class CanvasGraphicsView;
class CanvasScene;
class CrossBandDragState;

class DragGhostOverlay;
class GuidesOverlay;
class MultiDragState;
class ScrollAwareRuler;
class ScrollOffsetTracker;
class ZoomBar;
class ZoomGestureAnchor;

// The design canvas of the active report tab: the zoom bar, and below it the two rulers with
// their corner square beside the scroll area that shows the page. It keeps no report data: it
// draws the store it is given and changes the report only through it. Switching tabs hands it
// another store; its shared drag, scroll and pinch state stays. The pages of the stores shown
// last are kept, with their scroll positions, until the store goes, so that showing a report
// again builds nothing but what changed while it was hidden.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    // How many pages are kept: those of the reports shown last. An older one is built again
    // when its report is shown, at the report's top-left corner.
    static constexpr int keptPages = 8;

    explicit CanvasView(QWidget *parent = nullptr);

    DocumentStore *store() const { return store_; }
    void setStore(DocumentStore *store);
    // The unit of the rulers (the user's measurement unit).
    void setMeasurementUnit(MeasurementUnit unit);
    // The preferences the bands read: grid, snapping and the defaults of new text fields. The
    // caller keeps them alive and calls bandSettingsChanged() when they change.
    void setBandSettings(const BandSettings *settings);
    void bandSettingsChanged();
    // The clock of double clicks on band area (tests give their own); the caller keeps it alive.
    void setClock(const AppClock *clock);
    // The application the elements' double clicks act on (see CanvasScene::setEnvironment).
    void setEnvironment(const ElementEnvironment &environment);
    void setTabStrip(QWidget *tabStrip);
    void setTrailingToolbar(QWidget *toolbar);

    BandFrameTracker *frameTracker() const { return frameTracker_; }
    MultiDragState *multiDragState() const { return multiDragState_; }
    CrossBandDragState *crossBandDragState() const { return crossBandDragState_; }
    ScrollOffsetTracker *scrollTracker() const { return scrollTracker_; }
    ZoomGestureAnchor *zoomGestureAnchor() const { return zoomGestureAnchor_; }
    // The page shown now.
    CanvasScene *scene() const { return scene_; }
    // The page kept for `store`, shown or not; null when there is none.
    CanvasScene *sceneOf(const DocumentStore *store) const;
    CanvasGraphicsView *graphicsView() const { return view_; }
    ZoomBar *zoomBar() const { return zoomBar_; }
    ScrollAwareRuler *horizontalRuler() const { return horizontalRuler_; }
    ScrollAwareRuler *verticalRuler() const { return verticalRuler_; }

private:
    struct Page {
        CanvasScene *scene = nullptr;
        QPoint scrolled;
        QMetaObject::Connection storeGone;
    };

    void syncRulers();
    // The kept page of the store, or a new one; a page without a store is taken for the first
    // store.
    CanvasScene *pageFor(DocumentStore *store);
    // Gives a new page the canvas's gesture state, preferences, clock and environment.
    CanvasScene *prepare(CanvasScene *scene);
    QList<CanvasScene *> scenes() const;
    void forget(const DocumentStore *store);
    // Drops the pages of the reports shown longest ago beyond keptPages.
    void keepRecentPages();

    QPointer<DocumentStore> store_;
    QList<QMetaObject::Connection> storeConnections_;
    QHash<const DocumentStore *, Page> pages_;
    // The stores of the kept pages, the one shown last first.
    QList<const DocumentStore *> recent_;
    const BandSettings *settings_ = nullptr;
    const AppClock *clock_ = nullptr;
    std::optional<ElementEnvironment> environment_;
    BandFrameTracker *frameTracker_;
    MultiDragState *multiDragState_;
    CrossBandDragState *crossBandDragState_;
    ScrollOffsetTracker *scrollTracker_;
    ZoomGestureAnchor *zoomGestureAnchor_;
    CanvasScene *scene_;
    CanvasGraphicsView *view_;
    ZoomBar *zoomBar_;
    ScrollAwareRuler *horizontalRuler_;
    ScrollAwareRuler *verticalRuler_;
    GuidesOverlay *guidesOverlay_;
    DragGhostOverlay *ghostOverlay_;
};
