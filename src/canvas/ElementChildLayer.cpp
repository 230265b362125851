#include "canvas/ElementChildLayer.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// Over the container's children, selected ones included, and under its editor and handles.
constexpr qreal coverZ = 5e7;
} // namespace

// What the container draws over its children. It stands beside the layer, not in it, so that
// the container's border, which prints centred on its edges, is not cut off at the box; the
// container owns it, as it owns the layer. Hit by nothing.
class ElementChildLayer::Cover : public QGraphicsItem {
public:
    Cover(Painter paint, QGraphicsItem *parent) : QGraphicsItem(parent), paint_(std::move(paint))
    {
        setAcceptedMouseButtons(Qt::NoButton);
        setZValue(coverZ);
    }
    void setBox(const QRectF &box, qreal overhang)
    {
        prepareGeometryChange();
        box_ = box;
        overhang_ = overhang;
    }
    QRectF boundingRect() const override
    {
        return box_.adjusted(-overhang_, -overhang_, overhang_, overhang_);
    }
    QPainterPath shape() const override { return {}; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        paint_(painter, box_);
    }

private:
    Painter paint_;
    QRectF box_;
    qreal overhang_ = 0;
};

ElementChildLayer::ElementChildLayer(Painter paintOver, QGraphicsItem *parent)
    : QGraphicsItem(parent), cover_(new Cover(std::move(paintOver), parent))
{
    setFlag(ItemClipsChildrenToShape);
    setFlag(ItemHasNoContents);
    setAcceptedMouseButtons(Qt::NoButton);
}

void ElementChildLayer::setBox(const QRectF &box, qreal overhang, QPointF origin,
                               const QMarginsF &overflow)
{
    setPos(origin);
    const QRectF clip = box.marginsAdded(overflow).translated(-origin);
    if (clip != clip_) {
        prepareGeometryChange();
        clip_ = clip;
    }
    if (box != box_ || overhang != overhang_) {
        box_ = box;
        overhang_ = overhang;
        cover_->setBox(box, overhang);
    }
}

QPainterPath ElementChildLayer::shape() const
{
    QPainterPath path;
    path.addRect(clip_);
    return path;
}
