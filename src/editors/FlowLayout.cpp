#include "FlowLayout.h"

#include <QWidget>
#include <cmath>

FlowLayout::FlowLayout(qreal spacing, QWidget *parent) : QLayout(parent), spacing_(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

QSizeF FlowLayout::sizeThatFits(std::optional<qreal> width, const QList<QSizeF> &items,
                                qreal spacing)
{
    const bool bounded = width && std::isfinite(*width);
    qreal x = 0;
    qreal lineHeight = 0;
    qreal totalHeight = 0;
    qreal widest = 0;
    for (const QSizeF &item : items) {
        if (bounded && x > 0 && x + spacing + item.width() > *width) {
            totalHeight += lineHeight + spacing;
            widest = std::max(widest, x);
            x = 0;
            lineHeight = 0;
        }
        x = x == 0 ? item.width() : x + spacing + item.width();
        lineHeight = std::max(lineHeight, item.height());
    }
    return {bounded ? *width : std::max(widest, x), totalHeight + lineHeight};
}

QList<QPointF> FlowLayout::placements(const QRectF &bounds, const QList<QSizeF> &items,
                                      qreal spacing)
{
    QList<QPointF> out;
    qreal x = bounds.left();
    qreal y = bounds.top();
    qreal lineHeight = 0;
    for (const QSizeF &item : items) {
        if (x > bounds.left() && x + item.width() > bounds.right()) {
            x = bounds.left();
            y += lineHeight + spacing;
            lineHeight = 0;
        }
        out.append({x, y});
        x += item.width() + spacing;
        lineHeight = std::max(lineHeight, item.height());
    }
    return out;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    items_.append(item);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

QList<QSizeF> FlowLayout::itemSizes() const
{
    QList<QSizeF> sizes;
    for (const QLayoutItem *item : items_) {
        if (!item->isEmpty())
            sizes.append(item->sizeHint());
    }
    return sizes;
}

QSize FlowLayout::sizeHint() const
{
    return sizeThatFits(std::nullopt, itemSizes(), spacing_).toSize();
}

QSize FlowLayout::minimumSize() const
{
    QSize smallest;
    for (const QSizeF &size : itemSizes())
        smallest = smallest.expandedTo(size.toSize());
    return smallest;
}

int FlowLayout::heightForWidth(int width) const
{
    return int(std::ceil(sizeThatFits(width, itemSizes(), spacing_).height()));
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    QList<QLayoutItem *> shown;
    QList<QSizeF> sizes;
    for (QLayoutItem *item : items_) {
        if (!item->isEmpty()) {
            shown.append(item);
            sizes.append(item->sizeHint());
        }
    }
    const QList<QPointF> corners = placements(rect, sizes, spacing_);
    for (qsizetype i = 0; i < shown.size(); ++i)
        shown[i]->setGeometry(QRect(corners[i].toPoint(), sizes[i].toSize()));
}
