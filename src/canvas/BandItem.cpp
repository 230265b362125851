#include "canvas/BandItem.h"

#include "canvas/CanvasGeometry.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QPalette>

namespace {

// A container that draws nothing: the body's coordinate origin for the element items.
class BodyItem : public QGraphicsItem {
public:
    using QGraphicsItem::QGraphicsItem;
    QRectF boundingRect() const override { return {}; }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}
};

QColor withAlpha(QColor color, double opacity)
{
    color.setAlphaF(float(opacity));
    return color;
}

} // namespace

BandItem::BandItem(const BandTarget &target, QGraphicsItem *parent)
    : QGraphicsItem(parent), target_(target), body_(new BodyItem(this))
{
    body_->setPos(0, canvas::headerStripHeight);
    setFlag(ItemClipsChildrenToShape);
}

void BandItem::setBand(const QString &label, double width, double storedHeight, bool isActive)
{
    if (label_ == label && width_ == width && storedHeight_ == storedHeight &&
        isActive_ == isActive)
        return;
    if (width_ != width ||
        canvas::drawnBodyHeight(storedHeight_) != canvas::drawnBodyHeight(storedHeight))
        prepareGeometryChange();
    label_ = label;
    width_ = width;
    storedHeight_ = storedHeight;
    isActive_ = isActive;
    update();
}

void BandItem::setElements(const QList<ReportElement> &elements)
{
    if (shownElements_ == elements)
        return;
    shownElements_ = elements;
    ElementItem::syncList(body_, elements_, elements);
}

void BandItem::showSelection(const QSet<QUuid> &selected)
{
    ElementItem::showSelection(elements_, selected);
}

double BandItem::bodyHeight() const
{
    return canvas::drawnBodyHeight(storedHeight_);
}

QRectF BandItem::bodyRect() const
{
    return QRectF(0, canvas::headerStripHeight, width_, bodyHeight());
}

QRectF BandItem::boundingRect() const
{
    return QRectF(0, 0, width_, canvas::headerStripHeight + bodyHeight());
}

void BandItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QPalette palette = scene() ? scene()->palette() : QPalette();
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor gray(128, 128, 128);
    const QRectF header(0, 0, width_, canvas::headerStripHeight);

    painter->fillRect(header, isActive_ ? withAlpha(accent, 0.15) : withAlpha(gray, 0.08));
    if (isActive_)
        painter->fillRect(bodyRect(), withAlpha(accent, 0.03));

    QFont font = painter->font();
    font.setPixelSize(9);
    font.setWeight(QFont::DemiBold);
    painter->setFont(font);
    painter->setPen(withAlpha(palette.color(QPalette::Active, QPalette::Text), 0.55));
    painter->drawText(header.adjusted(4, 1, -4, -1), Qt::AlignLeft | Qt::AlignVCenter,
                      label_.toUpper());

    painter->setPen(QPen(withAlpha(gray, 0.25), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect().adjusted(0.5, 0.5, -0.5, -0.5));
}
