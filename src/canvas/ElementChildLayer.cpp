#include "canvas/ElementChildLayer.h"

#include <QPainter>
#include <QPainterPath>
#include <limits>

// Above every child, selected ones included; hit by nothing.
class ElementChildLayer::Cover : public QGraphicsItem {
public:
    Cover(Painter paint, QGraphicsItem *parent) : QGraphicsItem(parent), paint_(std::move(paint))
    {
        setAcceptedMouseButtons(Qt::NoButton);
        setZValue(std::numeric_limits<qreal>::max());
    }
    void setBox(const QRectF &box)
    {
        prepareGeometryChange();
        box_ = box;
    }
    QRectF boundingRect() const override { return box_; }
    QPainterPath shape() const override { return {}; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        paint_(painter, box_);
    }

private:
    Painter paint_;
    QRectF box_;
};

ElementChildLayer::ElementChildLayer(Painter paintOver, QGraphicsItem *parent)
    : QGraphicsItem(parent), cover_(new Cover(std::move(paintOver), this))
{
    setFlag(ItemClipsChildrenToShape);
    setFlag(ItemHasNoContents);
    setAcceptedMouseButtons(Qt::NoButton);
}

void ElementChildLayer::setBox(const QRectF &box)
{
    if (box == box_)
        return;
    prepareGeometryChange();
    box_ = box;
    cover_->setBox(box);
}

QPainterPath ElementChildLayer::shape() const
{
    QPainterPath path;
    path.addRect(box_);
    return path;
}
