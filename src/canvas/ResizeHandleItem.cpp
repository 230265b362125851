#include "canvas/ResizeHandleItem.h"

#include "canvas/ElementResize.h"
#include "canvas/ElementView.h"
#include "widgets/ColorHex.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {

// Above the element's content, its children and its inline field.
constexpr qreal handleZ = 1e9;

} // namespace

ResizeHandleItem::ResizeHandleItem(ResizeHandleKind kind, ElementView *view)
    : QGraphicsItem(view), kind_(kind), view_(view)
{
    setZValue(handleZ);
    setAcceptedMouseButtons(Qt::LeftButton);
}

ResizeHandleItem::~ResizeHandleItem() = default;

void ResizeHandleItem::placeOn(QSizeF size)
{
    const bool right =
        kind_ == ResizeHandleKind::topRight || kind_ == ResizeHandleKind::bottomRight;
    const bool bottom =
        kind_ == ResizeHandleKind::bottomLeft || kind_ == ResizeHandleKind::bottomRight;
    setPos(right ? size.width() : 0, bottom ? size.height() : 0);
}

QRectF ResizeHandleItem::boundingRect() const
{
    return QRectF(-hitSize / 2, -hitSize / 2, hitSize, hitSize);
}

void ResizeHandleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(ColorHex::elementSelection(), 1.5));
    painter->setBrush(Qt::white);
    painter->drawEllipse(QPointF(0, 0), diameter / 2, diameter / 2);
}

void ResizeHandleItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !view_->canBeDragged()) {
        event->ignore();
        return;
    }
    resize_ = std::make_unique<ElementResize>(*view_, kind_, ElementView::canvasLocation(event));
    event->accept();
}

void ResizeHandleItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (resize_)
        resize_->moved(ElementView::canvasLocation(event));
}

void ResizeHandleItem::cancelResize()
{
    if (const std::unique_ptr<ElementResize> resize = std::move(resize_))
        resize->cancel();
}

bool ResizeHandleItem::sceneEvent(QEvent *event)
{
    // The element left the page or the canvas shows another report while the handle was held.
    if (event->type() == QEvent::UngrabMouse)
        cancelResize();
    return QGraphicsItem::sceneEvent(event);
}

void ResizeHandleItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    // Taken first: the release may replace the element's views.
    const std::unique_ptr<ElementResize> resize = std::move(resize_);
    if (resize)
        resize->released(ElementView::canvasLocation(event));
}
