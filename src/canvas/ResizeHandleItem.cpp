#include "canvas/ResizeHandleItem.h"

#include "canvas/ElementResize.h"
#include "canvas/ElementView.h"
#include "widgets/ColorHex.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <cmath>

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

void ResizeHandleItem::setDrawnByElement(bool drawn)
{
    setFlag(ItemHasNoContents, drawn);
}

void ResizeHandleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    paintHandle(painter, QPointF(0, 0));
}

void ResizeHandleItem::paintHandle(QPainter *painter, QPointF centre)
{
    const QTransform transform = painter->worldTransform();
    if (transform.type() > QTransform::TxScale || transform.m11() != transform.m22()) {
        painter->save();
        painter->translate(centre);
        drawHandle(painter);
        painter->restore();
        return;
    }
    // A selection of thousands of elements draws four handles each at every repaint: they are
    // copied from one picture of a handle at the drawing's scale, in device pixels.
    const qreal pixelRatio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QImage &picture = handlePicture(transform.m11() * pixelRatio, pixelRatio);
    const QPointF at = transform.map(centre);
    const QSizeF size = picture.deviceIndependentSize();
    painter->setWorldTransform(QTransform());
    painter->drawImage(QPointF(std::round((at.x() - size.width() / 2) * pixelRatio) / pixelRatio,
                               std::round((at.y() - size.height() / 2) * pixelRatio) / pixelRatio),
                       picture);
    painter->setWorldTransform(transform);
}

void ResizeHandleItem::drawHandle(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(ColorHex::elementSelection(), 1.5));
    painter->setBrush(Qt::white);
    painter->drawEllipse(QPointF(0, 0), diameter / 2, diameter / 2);
}

int ResizeHandleItem::pictureSide(qreal scale)
{
    // The outline reaches half its width beyond the diameter; a pixel of room each side.
    return int(std::ceil(reach * 2 * scale)) + 2;
}

const QImage &ResizeHandleItem::handlePicture(qreal scale, qreal pixelRatio)
{
    // The last one made: the scale changes with the zoom, the colour with the appearance.
    static QImage picture;
    static qreal madeScale = 0;
    static QRgb madeColor = 0;
    const QRgb color = ColorHex::elementSelection().rgba();
    if (picture.isNull() || madeScale != scale || madeColor != color ||
        picture.devicePixelRatio() != pixelRatio) {
        const int side = pictureSide(scale);
        picture = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.translate(side / 2.0, side / 2.0);
        painter.scale(scale, scale);
        drawHandle(&painter);
        painter.end();
        picture.setDevicePixelRatio(pixelRatio);
        madeScale = scale;
        madeColor = color;
    }
    return picture;
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
