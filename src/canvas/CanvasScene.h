#pragma once

#include "canvas/BandContext.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/ElementEnvironment.h"
#include "canvas/ElementImageLoader.h"
#include "canvas/ElementViewRegistry.h"
#include "canvas/LackMarks.h"
#include "document/DocumentStore.h"
#include "workspace/AppClock.h"

#include <QGraphicsScene>
#include <QHash>
#include <QPointer>
#include <QTimer>

class QGraphicsRectItem;

// The report page in points at 100 %: the white sheet, the dashed margin rectangle and one band
// item per ordered band target, stacked from the margin corner. It follows the store's changes
// by updating its items in place.
class CanvasScene : public QGraphicsScene {
    Q_OBJECT
public:
    explicit CanvasScene(QObject *parent = nullptr);
    ~CanvasScene() override;

    DocumentStore *store() const { return context_.store; }
    // Shows another report; null shows nothing. A gesture in progress on the page ends.
    void setStore(DocumentStore *store);
    // A canvas keeps the scene of each open report while another is shown. A hidden scene ends
    // its gestures and inline edit, and what its report changes meanwhile is taken in, in
    // place, once it is shown again.
    void setShown(bool shown);
    bool isShown() const { return isShown_; }

    // The preferences the bands read (grid, snapping, defaults of new text fields); the caller
    // keeps them alive. Call settingsChanged() when they change.
    void setSettings(const BandSettings *settings);
    void settingsChanged();
    // The clock of double clicks on band area; the system's until another is given. The
    // caller keeps it alive.
    void setClock(const AppClock *clock);
    // The canvas's shared gesture state that element views read and write while they are
    // dragged or resized; call before the first store. Without it elements are not dragged.
    void setDragStates(BandFrameTracker *frameTracker, MultiDragState *multiDrag,
                       CrossBandDragState *crossBand);
    // The application the elements' double clicks act on; the caller keeps its parts alive.
    // Pictures come from the scene's own loader unless the environment names one.
    void setEnvironment(const ElementEnvironment &environment);
    const ElementEnvironment &environment() const { return environment_; }

    const canvas::PageGeometry &page() const { return page_; }
    const QList<BandTarget> &targets() const { return targets_; }
    BandItem *bandItem(const BandTarget &target) const { return bands_.value(target); }
    // The view of the element, at any depth, or null.
    ElementView *elementView(const QUuid &id) const { return views_.view(id); }
    // The body of a band in scene coordinates, or an empty rectangle for an unknown band.
    QRectF bodySceneRect(const BandTarget &target) const;
    QGraphicsRectItem *sheet() const { return sheet_; }
    QGraphicsRectItem *marginRectangle() const { return margin_; }

signals:
    // The page's size or a band's place or size may have changed.
    void layoutChanged();

protected:
    bool event(QEvent *event) override;
    // A press near a corner of selected elements first gives them their handle items.
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    // The bands keep pictures of their strips and grids: a change of their look redraws them.
    void repaintBands();
    void syncDocument();
    // Stacks the bands at their drawn heights and sizes the page around them.
    void layoutBands();
    // Marks the views of the elements that name what their dataset lacks, and no others.
    void syncLackMarks(const ReportDocument &document);
    void syncActiveBand();
    void syncSelection();
    void placeDragFollowers();
    void syncBusySubreports();
    // Repaints the elements that show the picture at `url`, now that it has arrived.
    void pictureArrived(const QUrl &url);
    void followImages(ElementImageLoader *images);
    // Ends a drag, resize, rubber band, height drag or inline edit in progress on the page.
    void endGestures();
    // False, and the change noted, while the scene is hidden.
    bool follows();

    SystemClock systemClock_;
    // Decodes off the window's thread: an element shows its picture's frame until it arrives.
    ElementImageLoader images_{ElementImageLoader::Decoding::inBackground};
    // Turns the activity indicators of subreports that are being created.
    QTimer busyTimer_;
    ElementEnvironment environment_;
    ElementViewRegistry views_;
    BandContext context_;
    canvas::PageGeometry page_;
    QList<BandTarget> targets_;
    QHash<BandTarget, BandItem *> bands_;
    QList<ReportStyle> shownStyles_;
    // The elements marked for naming what their dataset lacks.
    LackMarks lackMarks_;
    QGraphicsRectItem *sheet_;
    QGraphicsRectItem *margin_;
    QGraphicsRectItem *stack_;
    bool isShown_ = true;
    bool isStale_ = false;
};
