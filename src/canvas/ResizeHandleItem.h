#pragma once

#include "canvas/ResizeHandleKind.h"

#include <QGraphicsItem>
#include <memory>

class ElementResize;
class ElementView;

// One round corner handle of a selected element: a small circle in a larger square hit area,
// centred on its corner. Dragging it resizes the element with the opposite corner held.
class ResizeHandleItem : public QGraphicsItem {
public:
    static constexpr double diameter = 6;
    static constexpr double hitSize = 14;

    ResizeHandleItem(ResizeHandleKind kind, ElementView *view);
    ~ResizeHandleItem() override;

    ResizeHandleKind kind() const { return kind_; }
    // Centres the handle on its corner of a frame of `size`, in the element's coordinates.
    void placeOn(QSizeF size);
    // Ends a resize in progress without a release: the element keeps its stored frame.
    void cancelResize();

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    bool sceneEvent(QEvent *event) override;

private:
    ResizeHandleKind kind_;
    ElementView *view_;
    std::unique_ptr<ElementResize> resize_;
};
