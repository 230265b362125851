#pragma once

#include "canvas/ResizeHandleKind.h"

#include <QGraphicsItem>
#include <QImage>
#include <memory>

class ElementResize;
class ElementView;

// One round corner handle of a selected element: a small circle in a larger square hit area,
// centred on its corner. Dragging it resizes the element with the opposite corner held. An
// element without children draws its handles itself, so that a dragged selection of many
// elements moves and repaints one item an element; the handle items then only take presses.
class ResizeHandleItem : public QGraphicsItem {
public:
    static constexpr double diameter = 6;
    static constexpr double hitSize = 14;
    // How far the drawn handle reaches from its centre: the circle and half its outline.
    static constexpr double reach = diameter / 2 + 0.75;

    ResizeHandleItem(ResizeHandleKind kind, ElementView *view);
    ~ResizeHandleItem() override;

    ResizeHandleKind kind() const { return kind_; }
    // Centres the handle on its corner of a frame of `size`, in the element's coordinates.
    void placeOn(QSizeF size);
    // Ends a resize in progress without a release: the element keeps its stored frame.
    void cancelResize();
    // Whether the element draws the handle, which then draws nothing itself.
    void setDrawnByElement(bool drawn);
    // Draws a handle centred at `centre`, in the painter's coordinates, copied to whole device
    // pixels from a picture `pictureSide()` device pixels square.
    static void paintHandle(QPainter *painter, QPointF centre);
    // The side of the handle's picture at `scale` device pixels a point.
    static int pictureSide(qreal scale);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    bool sceneEvent(QEvent *event) override;

private:
    // The handle in the painter's coordinates.
    static void drawHandle(QPainter *painter);
    // The handle drawn at `scale` device pixels a point, for a device of `pixelRatio`.
    static const QImage &handlePicture(qreal scale, qreal pixelRatio);

    ResizeHandleKind kind_;
    ElementView *view_;
    std::unique_ptr<ElementResize> resize_;
};
