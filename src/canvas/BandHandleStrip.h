#pragma once

#include <QGraphicsItem>
#include <QRectF>

class BandItem;

// The height handle's strip along the bottom edge of a band: it lies beside the band, above it
// and the top of the next band's header, and a press in it drags the band's height. It yields to
// whatever takes presses itself (elements, their handles and inline fields, header buttons), so
// that an element in a low band is pressed, hovered and dragged as anywhere else. It draws
// nothing; the band's bar shows the handle.
class BandHandleStrip : public QGraphicsItem {
public:
    BandHandleStrip(BandItem *band, QGraphicsItem *parent);
    ~BandHandleStrip() override;
    // The band goes first: the strip no longer reaches it.
    void release() { band_ = nullptr; }

    void setRect(const QRectF &rect);
    QRectF boundingRect() const override { return rect_; }
    // Presses, hovering and the cursor all ask here, with the square of the view's pixel under
    // the pointer: the strip leaves out what takes presses.
    bool contains(const QPointF &point) const override;
    bool collidesWithPath(const QPainterPath &path, Qt::ItemSelectionMode mode) const override;
    QPainterPath shape() const override;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    bool sceneEvent(QEvent *event) override;

private:
    // Whether something that takes presses itself lies under the scene point or path.
    template <typename Where> bool yieldsAt(const Where &where) const;

    BandItem *band_;
    QRectF rect_;
    mutable bool isAsking_ = false;
};
