#include "navigators/OutlineDelegate.h"

#include "navigators/OutlineModel.h"
#include "widgets/BoundedText.h"
#include "widgets/CardText.h"
#include "widgets/DisclosureChevron.h"
#include "widgets/TreeGuides.h"
#include "widgets/TreeRowPainter.h"

#include <QPainter>
#include <QWidget>

using namespace Qt::StringLiterals;
using TreeRowPainter::withAlpha;

namespace {

constexpr int partSpacing = 4;
constexpr int iconFrameWidth = 14;
constexpr double hiddenOpacity = 0.55;

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QMargins padding(OutlineRow::Kind kind)
{
    switch (kind) {
    case OutlineRow::Kind::root:
        return {8, 4, 0, 4};
    case OutlineRow::Kind::section:
        return {8, 8, 8, 3};
    case OutlineRow::Kind::group:
        return {8, 3, 8, 3};
    case OutlineRow::Kind::band:
        return {8, 4, 8, 4};
    case OutlineRow::Kind::parameter:
    case OutlineRow::Kind::field:
    case OutlineRow::Kind::element:
        return {8, 2, 8, 2};
    }
    return {};
}

QFont labelFont(const QFont &base, const OutlineRow &row)
{
    QFont font = base;
    switch (row.kind) {
    case OutlineRow::Kind::root:
        font = CardText::sized(font, 12);
        font.setWeight(QFont::DemiBold);
        break;
    case OutlineRow::Kind::section:
        font = CardText::sized(font, 10);
        font.setWeight(QFont::DemiBold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
        font.setCapitalization(QFont::AllUppercase);
        break;
    case OutlineRow::Kind::group:
        font = CardText::sized(font, 12);
        font.setWeight(QFont::Medium);
        break;
    case OutlineRow::Kind::band:
        font = CardText::sized(font, 12);
        font.setWeight(row.isActive ? QFont::DemiBold : QFont::Normal);
        font.setItalic(row.isHidden);
        break;
    case OutlineRow::Kind::parameter:
    case OutlineRow::Kind::field:
    case OutlineRow::Kind::element:
        font = CardText::sized(font, CardText::bodyPointSize);
        break;
    }
    return font;
}

bool hasSelectionFill(const OutlineRow &row)
{
    return row.isSelected &&
           (row.kind == OutlineRow::Kind::parameter || row.kind == OutlineRow::Kind::field ||
            row.kind == OutlineRow::Kind::element);
}

// The left edge of what follows the indentation and the chevron.
int contentStart(const OutlineRow &row, const QRect &rect)
{
    int x = rect.left() + padding(row.kind).left();
    if (row.kind != OutlineRow::Kind::root)
        x += TreeGuides::width(row.depth) + partSpacing;
    if (row.collapseKey)
        x += DisclosureChevron::frameWidth + partSpacing;
    return x;
}

} // namespace

int OutlineDelegate::rowHeight(OutlineRow::Kind kind, const QFont &font)
{
    OutlineRow row;
    row.kind = kind;
    const QMargins margins = padding(kind);
    const int content =
        std::max(TreeGuides::rowHeight, QFontMetrics(labelFont(font, row)).height());
    return margins.top() + content + margins.bottom();
}

QRect OutlineDelegate::chevronRect(const OutlineRow &row, const QRect &rect)
{
    if (!row.collapseKey)
        return {};
    const QRect content = rect.marginsRemoved(padding(row.kind));
    int x = content.left();
    if (row.kind != OutlineRow::Kind::root)
        x += TreeGuides::width(row.depth) + partSpacing;
    const int size = DisclosureChevron::frameWidth;
    return {x, content.top() + (content.height() - size) / 2, size, size};
}

QColor OutlineDelegate::tintColor(OutlineTint tint, const QPalette &palette)
{
    const bool dark = isDark(palette);
    switch (tint) {
    case OutlineTint::primary:
        return palette.color(QPalette::WindowText);
    case OutlineTint::secondary:
        return CardText::secondaryColor(palette);
    case OutlineTint::blue:
        return dark ? QColor(10, 132, 255) : QColor(0, 122, 255);
    case OutlineTint::green:
        return dark ? QColor(48, 209, 88) : QColor(40, 167, 69);
    case OutlineTint::orange:
        return dark ? QColor(255, 159, 10) : QColor(230, 126, 0);
    case OutlineTint::purple:
        return dark ? QColor(191, 90, 242) : QColor(175, 82, 222);
    case OutlineTint::indigo:
        return dark ? QColor(94, 92, 230) : QColor(88, 86, 214);
    case OutlineTint::red:
        return dark ? QColor(255, 69, 58) : QColor(255, 59, 48);
    case OutlineTint::pink:
        return dark ? QColor(255, 55, 95) : QColor(255, 45, 85);
    case OutlineTint::brown:
        return dark ? QColor(172, 142, 104) : QColor(162, 132, 94);
    case OutlineTint::grey:
        return QColor(142, 142, 147);
    }
    return palette.color(QPalette::WindowText);
}

QSize OutlineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const OutlineModel *>(index.model());
    const OutlineRow *row = model ? model->row(index) : nullptr;
    if (!row)
        return {};
    if (!(option.font == measuredFont_)) {
        measuredFont_ = option.font;
        measuredHeights_.fill(0);
    }
    int &height = measuredHeights_.at(size_t(row->kind));
    if (height == 0)
        height = rowHeight(row->kind, option.font);
    return {90, height};
}

void OutlineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    const auto *model = qobject_cast<const OutlineModel *>(index.model());
    if (const OutlineRow *row = model ? model->row(index) : nullptr)
        paintRow(*painter, option.rect, *row, option);
}

void OutlineDelegate::paintRow(QPainter &painter, const QRect &rect, const OutlineRow &row,
                               const QStyleOptionViewItem &option)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (row.isHidden)
        painter.setOpacity(hiddenOpacity);
    const QPalette &pal = option.palette;
    const QColor accent = pal.color(QPalette::Highlight);
    const bool onAccent = hasSelectionFill(row);
    if (onAccent) {
        TreeRowPainter::fillRounded(painter, QRectF(rect), accent);
    } else if (row.isActive &&
               (row.kind == OutlineRow::Kind::root || row.kind == OutlineRow::Kind::band)) {
        painter.fillRect(rect, withAlpha(accent, 0.12));
    } else if (row.kind == OutlineRow::Kind::group) {
        painter.fillRect(rect, withAlpha(tintColor(OutlineTint::purple, pal), 0.06));
    }
    TreeRowPainter::drawKeyboardFocus(painter, QRectF(rect), option);

    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRect chevron = chevronRect(row, rect);
    if (!chevron.isEmpty())
        DisclosureChevron::draw(painter, chevron, row.isExpanded, pal, ratio);

    const QColor primary = onAccent ? QColor(Qt::white) : pal.color(QPalette::WindowText);
    const QColor secondary = CardText::secondaryColor(pal);
    const QRect content = rect.marginsRemoved(padding(row.kind));
    int x = contentStart(row, rect);

    if (!row.icon.isEmpty()) {
        double iconSize = 10;
        int frame = iconFrameWidth;
        if (row.kind == OutlineRow::Kind::root) {
            iconSize = 11;
            frame = 13;
        } else if (row.kind == OutlineRow::Kind::section) {
            iconSize = 9;
            frame = 11;
        } else if (row.kind == OutlineRow::Kind::element) {
            iconSize = 11;
        }
        const int dpi = option.widget ? option.widget->logicalDpiY() : 96;
        const int pixels = qRound(iconSize * dpi / 72.0);
        const QColor color = onAccent ? QColor(Qt::white) : tintColor(row.iconTint, pal);
        const QRect iconRect(x + (frame - pixels) / 2, content.center().y() - pixels / 2 + 1,
                             pixels, pixels);
        painter.drawPixmap(iconRect, TreeRowPainter::symbol(row.icon, pixels, ratio, color));
        x += frame + partSpacing;
    }

    QRect textRect(x, content.top(), content.right() - x + 1, content.height());
    if (!row.detail.isEmpty()) {
        const QFont small = CardText::sized(option.font, CardText::caption2PointSize);
        painter.setFont(small);
        painter.setPen(secondary);
        const int width = QFontMetrics(small).horizontalAdvance(row.detail);
        painter.drawText(QRect(content.right() - width + 1, content.top(), width, content.height()),
                         Qt::AlignVCenter | Qt::AlignRight, row.detail);
        textRect.setRight(content.right() - width - partSpacing);
    }
    const QFont font = labelFont(option.font, row);
    painter.setFont(font);
    painter.setPen(row.kind == OutlineRow::Kind::section || row.isHidden ? secondary : primary);
    const QString text = BoundedText::elided(
        QFontMetrics(font), row.kind == OutlineRow::Kind::section ? row.label.toUpper() : row.label,
        std::max(textRect.width(), 0));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    painter.restore();
}
