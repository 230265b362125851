#pragma once

#include <QGraphicsItem>
#include <QMarginsF>
#include <functional>

// The layer that holds the element views of a frame's or list's children: it places them from
// the container's contents origin (inside a frame's padding, where the engine prints them), cuts
// them off at the container's box but for the pens that print past its edges, and has the
// container's border (and a list's outline and label) drawn over them, reaching `overhang` out of
// the box. It takes no pointer events of its own.
class ElementChildLayer : public QGraphicsItem {
public:
    using Painter = std::function<void(QPainter *, const QRectF &box)>;

    ElementChildLayer(Painter paintOver, QGraphicsItem *parent);

    // `box` and `origin` in the container's points; `overflow`: how far the children's pens
    // reach out of the box.
    void setBox(const QRectF &box, qreal overhang, QPointF origin, const QMarginsF &overflow);

    // The box and what the children's pens open around it, in the layer's own points (its origin
    // is the contents origin).
    QRectF boundingRect() const override { return clip_; }
    QPainterPath shape() const override;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

private:
    class Cover;

    QRectF box_;
    qreal overhang_ = 0;
    QRectF clip_;
    Cover *cover_;
};
