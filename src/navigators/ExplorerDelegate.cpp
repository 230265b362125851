#include "navigators/ExplorerDelegate.h"

#include "widgets/CardText.h"
#include "widgets/DisclosureChevron.h"
#include "widgets/TreeGuides.h"
#include "widgets/TreeRowPainter.h"

#include <QPainter>

namespace {

constexpr double namePointSize = 11;
constexpr int iconSize = 14;
constexpr int partSpacing = 4;
const QMargins padding{8, 2, 4, 2};

} // namespace

QSize ExplorerDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const int text = QFontMetrics(CardText::sized(option.font, namePointSize)).height();
    return {90,
            padding.top() + std::max({TreeGuides::rowHeight, iconSize, text}) + padding.bottom()};
}

void ExplorerDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const auto *model = qobject_cast<const ExplorerModel *>(index.model());
    if (const ExplorerItem *item = model ? model->row(index) : nullptr)
        paintItem(*painter, option.rect, *item, option);
}

void ExplorerDelegate::paintItem(QPainter &painter, const QRect &rect, const ExplorerItem &item,
                                 const QStyleOptionViewItem &option)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = option.palette;
    const QColor accent = pal.color(QPalette::Highlight);
    if (item.isOpen)
        TreeRowPainter::fillRounded(painter, QRectF(rect).adjusted(2, 0, -2, 0),
                                    TreeRowPainter::withAlpha(accent, 0.15));
    TreeRowPainter::drawKeyboardFocus(painter, QRectF(rect).adjusted(2, 0, -2, 0), option);

    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRect content = rect.marginsRemoved(padding);
    int x = content.left() + TreeGuides::width(item.depth) + partSpacing;
    if (item.isDirectory) {
        const int size = DisclosureChevron::frameWidth;
        DisclosureChevron::draw(painter,
                                QRect(x, content.top() + (content.height() - size) / 2, size, size),
                                item.isExpanded, pal, ratio);
    }
    x += DisclosureChevron::frameWidth + partSpacing;

    const QColor colour =
        item.isDimmed() ? CardText::secondaryColor(pal) : pal.color(QPalette::WindowText);
    painter.drawPixmap(
        QRect(x, content.top() + (content.height() - iconSize) / 2, iconSize, iconSize),
        TreeRowPainter::symbol(item.symbol(), iconSize, ratio, colour));
    x += iconSize + partSpacing;

    const QFont font = CardText::sized(option.font, namePointSize);
    painter.setFont(font);
    painter.setPen(colour);
    const QRect textRect(x, content.top(), content.right() - x + 1, content.height());
    painter.drawText(
        textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
        QFontMetrics(font).elidedText(item.name, Qt::ElideRight, std::max(textRect.width(), 0)));
    painter.restore();
}
