#include "canvas/BandHeaderButton.h"

#include "widgets/SymbolIcons.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

BandHeaderButton::BandHeaderButton(const QString &symbolName, const QString &helpText,
                                   std::function<void()> action, QGraphicsItem *parent)
    : QGraphicsObject(parent), symbolName_(symbolName), icon_(SymbolIcons::icon(symbolName)),
      action_(std::move(action))
{
    setToolTip(helpText);
    setCursor(Qt::ArrowCursor);
    setAcceptedMouseButtons(Qt::LeftButton);
}

void BandHeaderButton::trigger() const
{
    if (action_)
        action_();
}

QRectF BandHeaderButton::boundingRect() const
{
    return QRectF(0, 0, size, size);
}

void BandHeaderButton::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // The strip lies on the white paper in the dark appearance too, where the theme's icons
    // are light: the symbol is drawn in the strip's own grey.
    const QColor grey(110, 110, 110);
    if (!icon_.isNull()) {
        const qreal scale =
            painter->device()->devicePixelRatioF() *
            std::max(1.0, painter->worldTransform().mapRect(boundingRect()).width() / size);
        if (tinted_.isNull() || tinted_.devicePixelRatio() != scale)
            tinted_ =
                SymbolIcons::tintedPixmap(symbolName_, QSize(int(size), int(size)), scale, grey);
        painter->drawPixmap(boundingRect(), tinted_, QRectF(QPointF(), tinted_.size()));
        return;
    }
    // Without an icon theme: a circle with a plus or minus.
    painter->setPen(QPen(grey, 0.8));
    painter->drawEllipse(boundingRect().adjusted(0.5, 0.5, -0.5, -0.5));
    painter->drawLine(QPointF(3, 5), QPointF(7, 5));
    if (symbolName_.startsWith(QLatin1String("plus")))
        painter->drawLine(QPointF(5, 3), QPointF(5, 7));
}

void BandHeaderButton::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
}

void BandHeaderButton::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (!boundingRect().contains(event->pos()))
        return;
    // Deferred, and bound to the scene rather than to this button: removing a band deletes it.
    if (scene())
        QTimer::singleShot(0, scene(), action_);
}
