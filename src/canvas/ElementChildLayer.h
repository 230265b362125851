#pragma once

#include <QGraphicsItem>
#include <functional>

// The layer that holds the element views of a frame's or list's children: it cuts them off at
// the container's box, and has the container's border (and a list's outline and label) drawn
// over them, reaching `overhang` out of the box. It takes no pointer events of its own.
class ElementChildLayer : public QGraphicsItem {
public:
    using Painter = std::function<void(QPainter *, const QRectF &box)>;

    ElementChildLayer(Painter paintOver, QGraphicsItem *parent);

    void setBox(const QRectF &box, qreal overhang = 0);

    QRectF boundingRect() const override { return box_; }
    QPainterPath shape() const override;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

private:
    class Cover;

    QRectF box_;
    qreal overhang_ = 0;
    Cover *cover_;
};
