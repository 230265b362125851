#include "AdaptiveGridLayout.h"

AdaptiveGridLayout::AdaptiveGridLayout(int minimumColumnWidth, int spacing, QWidget *parent)
    : QLayout(parent), minimumColumnWidth_(minimumColumnWidth), gap_(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

AdaptiveGridLayout::~AdaptiveGridLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

int AdaptiveGridLayout::columnCount(int width) const
{
    return std::max(1, (width + gap_) / (minimumColumnWidth_ + gap_));
}

void AdaptiveGridLayout::addItem(QLayoutItem *item)
{
    items_.append(item);
}

QLayoutItem *AdaptiveGridLayout::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

QSize AdaptiveGridLayout::sizeHint() const
{
    const int width = 4 * minimumColumnWidth_ + 3 * gap_;
    return {width, heightForWidth(width)};
}

QSize AdaptiveGridLayout::minimumSize() const
{
    return {minimumColumnWidth_, 0};
}

int AdaptiveGridLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

void AdaptiveGridLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int AdaptiveGridLayout::arrange(const QRect &rect, bool apply) const
{
    const int columns = columnCount(rect.width());
    const int columnWidth = std::max(1, (rect.width() - (columns - 1) * gap_) / columns);
    int y = rect.top();
    int rowHeight = 0;
    int column = 0;
    for (QLayoutItem *item : items_) {
        if (item->isEmpty())
            continue;
        if (column == columns) {
            y += rowHeight + gap_;
            rowHeight = 0;
            column = 0;
        }
        const QSize size = item->sizeHint();
        if (apply)
            item->setGeometry(
                QRect(rect.left() + column * (columnWidth + gap_), y, columnWidth, size.height()));
        rowHeight = std::max(rowHeight, size.height());
        ++column;
    }
    return y + rowHeight - rect.top();
}
