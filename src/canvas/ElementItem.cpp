#include "canvas/ElementItem.h"

#include "canvas/ColorHex.h"
#include "canvas/OverlayGeometry.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QPalette>
#include <algorithm>

ElementItem::ElementItem(const ReportElement &element, QGraphicsItem *parent)
    : QGraphicsItem(parent)
{
    element_.id = element.id;
    element_.width = -1; // differs from any element, so that setElement lays the item out
    setElement(element);
}

void ElementItem::setElement(const ReportElement &element)
{
    if (element_ == element)
        return;
    if (element_.width != element.width || element_.height != element.height)
        prepareGeometryChange();
    element_ = element;
    setPos(element.x, element.y);
    if (const ElementList *children = element.kind.children())
        syncList(this, children_, *children);
    else if (!children_.isEmpty())
        syncList(this, children_, {});
    update();
}

void ElementItem::setShownSelected(bool selected)
{
    if (isShownSelected_ == selected)
        return;
    isShownSelected_ = selected;
    update();
}

QRectF ElementItem::boundingRect() const
{
    // Room for the selection outline around the box.
    return QRectF(0, 0, std::max(element_.width, 0.0), std::max(element_.height, 0.0))
        .adjusted(-1, -1, 1, 1);
}

void ElementItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF box(0, 0, std::max(element_.width, 0.0), std::max(element_.height, 0.0));
    const QPalette palette = scene() ? scene()->palette() : QPalette();
    painter->setPen(QPen(QColor(128, 128, 128, 150), 0.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box);
    if (element_.kind.children() == nullptr && box.width() > 2 && box.height() > 2) {
        QFont font = painter->font();
        font.setPixelSize(std::clamp(int(element_.fontSize), 4, 72));
        painter->setFont(font);
        // The sheet is white in every appearance: the label takes the element's own colour, or
        // black as the print does, never the window's text colour.
        const std::optional<QColor> fore =
            element_.foreColor ? ColorHex::fromHex(element_.foreColor->hex) : std::nullopt;
        painter->setPen(fore.value_or(QColor(Qt::black)));
        painter->drawText(box.adjusted(1, 0, -1, 0),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          overlay::ghostLabel(element_));
    }
    if (isShownSelected_) {
        painter->setPen(QPen(palette.color(QPalette::Active, QPalette::Highlight), 1));
        painter->drawRect(box);
    }
}

void ElementItem::syncList(QGraphicsItem *parent, Items &items, const ElementList &elements)
{
    QSet<QUuid> listed;
    listed.reserve(elements.size());
    qreal z = 0;
    for (const ReportElement &e : elements) {
        listed.insert(e.id);
        ElementItem *&item = items[e.id];
        if (item)
            item->setElement(e);
        else
            item = new ElementItem(e, parent);
        item->setZValue(z++);
    }
    if (listed.size() == items.size())
        return;
    for (auto it = items.begin(); it != items.end();) {
        if (listed.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        it = items.erase(it);
    }
}

void ElementItem::showSelection(const Items &items, const QSet<QUuid> &selected)
{
    for (ElementItem *item : items) {
        item->setShownSelected(selected.contains(item->id()));
        showSelection(item->children_, selected);
    }
}
