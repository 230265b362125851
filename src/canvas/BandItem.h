#pragma once

#include "canvas/BandLimitTip.h"
#include "canvas/ClickTracker.h"
#include "canvas/ElementView.h"
#include "model/ReportBand.h"

#include <QGraphicsObject>
#include <QUrl>
#include <optional>

class BandHandleStrip;
class BandHeaderButton;
class QMenu;
class QMimeData;
struct BandContext;

// One band of the page: the header strip with the band's name (and, on detail bands, the add
// and remove buttons) over the band body that holds the grid and the element views, with the
// height handle along its bottom edge: over the band's empty area and the top of the next band's
// header strip, never over an element. Presses on empty band area draw a rubber band or click
// the band; texts dropped on it become text fields and image files images. Measured in points;
// the body starts below the header strip.
class BandItem : public QGraphicsObject {
    Q_OBJECT
public:
    BandItem(const BandTarget &target, const BandContext *context, QGraphicsItem *parent = nullptr);
    ~BandItem() override;

    const BandTarget &target() const { return target_; }

    // Takes the band's look: label as the store names it, width, stored height (drawn at least
    // 4 tall), whether it is the active band and whether it may be removed (detail bands only).
    // Unchanged values change nothing.
    void setBand(const QString &label, double width, double storedHeight, bool isActive,
                 bool canRemove);
    // Takes the band's top-level elements; a list the item already shows is skipped at once.
    // True when the list differed.
    bool setElements(const ElementList &elements);
    void showSelection(const QSet<QUuid> &selected);

    double width() const { return width_; }
    // Drawn body height: the stored height plus a handle drag in progress, at least 4.
    double bodyHeight() const;
    QString label() const { return label_; }
    bool isActive() const { return isActive_; }
    // The body below the header strip, in the band's own coordinates.
    QRectF bodyRect() const;
    // The item that element views are placed in: its origin is the body's top-left corner.
    QGraphicsItem *body() const { return body_; }
    const ElementView::Items &elementItems() const { return elements_; }
    BandHeaderButton *addButton() const { return addButton_; }
    BandHeaderButton *removeButton() const { return removeButton_; }
    // The rubber band being drawn, in body coordinates.
    std::optional<QRectF> rubberBand() const;
    bool isHandleHighlighted() const;
    // The band has moved on the page with the items it lies on: a band larger than the part of
    // the page the canvas draws (drawnBounds) takes its new part.
    void placed();

    // The band's context menu, filled with what applies now; its actions run on the next turn
    // of the event loop. Empty when nothing applies.
    void fillContextMenu(QMenu &menu) const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    // The height handle follows the band's place.
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    // Another item or another report took the pointer: the rubber band goes, nothing changes.
    bool sceneEvent(QEvent *event) override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dropEvent(QGraphicsSceneDragDropEvent *event) override;

private:
    friend class BandHandleStrip;
    enum class Press { none, ignoring, rubberBand };

    QPointF toBody(QPointF local) const { return local - bodyRect().topLeft(); }
    void setHovering(bool hovering);
    void setDragHeightDelta(double delta);
    // The height handle's drag, from the strip; positions in scene points.
    void handlePressed(QPointF scenePoint);
    void handleMoved(QPointF scenePoint);
    void handleReleased(QPointF scenePoint);
    // Ends a handle drag that lost the pointer: the band keeps its stored height.
    void handleCancelled();
    void bandClicked(bool additive);
    // Whether dropped data would add anything to this band.
    bool usesDrop(const QMimeData *data) const;
    // The image file of a drop that would begin an image import on this band.
    std::optional<QUrl> droppedImage(const QMimeData *data) const;
    // The band's whole area, header strip included, of which boundingRect() is the drawn part.
    QRectF wholeRect() const;
    void placeChrome();
    // The body's area: the band's, and past its edges where its elements' pens print.
    void placeBody();

    BandTarget target_;
    const BandContext *context_;
    QString label_;
    double width_ = 0;
    double storedHeight_ = 0;
    bool isActive_ = false;
    bool canRemove_ = false;
    QGraphicsItem *body_;
    // Made at the first drag across the band: a report may have very many bands.
    QGraphicsRectItem *rubberBandItem_ = nullptr;
    QGraphicsRectItem *handleBar_;
    BandHandleStrip *handleStrip_;
    BandHeaderButton *addButton_ = nullptr;
    BandHeaderButton *removeButton_ = nullptr;
    ElementList shownElements_;
    ElementView::Items elements_;

    Press press_ = Press::none;
    QPointF pressBodyPoint_;
    QPointF pressScenePoint_;
    bool isHandlePressed_ = false;
    bool handleDragStarted_ = false;
    bool isHandleMoving_ = false;
    // The lowest height the handle gives: the band never cuts off one of its elements.
    double handleMinimum_ = 0;
    // The highest the handle takes the band, as the Band Height field takes it, and the field's
    // words for a height above it, shown while the pointer is past it.
    double handleMaximum_ = 0;
    QString handleLimitWords_;
    bandlimit::Tip handleTip_;
    double dragHeightDelta_ = 0;
    bool isHovering_ = false;
    ClickTracker clicks_;
};
