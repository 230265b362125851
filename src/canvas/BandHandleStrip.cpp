#include "canvas/BandHandleStrip.h"

#include "canvas/BandContext.h"
#include "canvas/BandHeaderButton.h"
#include "canvas/BandItem.h"
#include "canvas/ElementView.h"
#include "canvas/ResizeHandleItem.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <algorithm>

namespace {

// Whether the item takes a press on it itself: an element, one of its handles or its inline
// field, or a header button.
bool takesPresses(QGraphicsItem *item)
{
    if (dynamic_cast<const ResizeHandleItem *>(item) || item->isWidget())
        return true;
    QGraphicsObject *object = item->toGraphicsObject();
    return qobject_cast<ElementView *>(object) || qobject_cast<BandHeaderButton *>(object);
}

} // namespace

BandHandleStrip::BandHandleStrip(BandItem *band, QGraphicsItem *parent)
    : QGraphicsItem(parent), band_(band)
{
    setFlag(ItemHasNoContents);
    // Above the bands beside it, and with them their elements.
    setZValue(1);
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setCursor(Qt::SizeVerCursor);
}

BandHandleStrip::~BandHandleStrip()
{
    if (band_)
        band_->handleStrip_ = nullptr;
}

void BandHandleStrip::setRect(const QRectF &rect)
{
    if (rect_ == rect)
        return;
    prepareGeometryChange();
    rect_ = rect;
}

template <typename Where> bool BandHandleStrip::yieldsAt(const Where &where) const
{
    // The scene asks every item there, this strip too: it then answers no.
    if (isAsking_ || !scene())
        return false;
    const QScopedValueRollback asking(isAsking_, true);
    const QList<QGraphicsItem *> under = scene()->items(where);
    return std::any_of(under.cbegin(), under.cend(), takesPresses);
}

bool BandHandleStrip::contains(const QPointF &point) const
{
    return rect_.contains(point) && !yieldsAt(mapToScene(point));
}

bool BandHandleStrip::collidesWithPath(const QPainterPath &path, Qt::ItemSelectionMode mode) const
{
    return QGraphicsItem::collidesWithPath(path, mode) && !yieldsAt(mapToScene(path));
}

QPainterPath BandHandleStrip::shape() const
{
    QPainterPath path;
    path.addRect(rect_);
    return path;
}

void BandHandleStrip::hoverEnterEvent(QGraphicsSceneHoverEvent *)
{
    if (band_)
        band_->setHovering(true);
}

void BandHandleStrip::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    if (band_)
        band_->setHovering(false);
}

void BandHandleStrip::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    const BandContext *context = band_ ? band_->context_ : nullptr;
    if (event->button() != Qt::LeftButton || !context || !context->store) {
        event->ignore();
        return;
    }
    band_->handlePressed(event->scenePos());
    event->accept();
}

void BandHandleStrip::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (band_)
        band_->handleMoved(event->scenePos());
}

void BandHandleStrip::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (band_)
        band_->handleReleased(event->scenePos());
}

bool BandHandleStrip::sceneEvent(QEvent *event)
{
    if (event->type() == QEvent::UngrabMouse && band_)
        band_->handleCancelled();
    return QGraphicsItem::sceneEvent(event);
}
