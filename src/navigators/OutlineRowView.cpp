#include "navigators/OutlineRowView.h"

#include "widgets/CardText.h"
#include "widgets/DisclosureChevron.h"
#include "widgets/SymbolIcons.h"
#include "widgets/TreeGuides.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace {

constexpr int partSpacing = 4;
constexpr int iconFrameWidth = 14;
constexpr double hiddenOpacity = 0.55;

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace

OutlineRowView::OutlineRowView(const OutlineRow &row, QWidget *parent) : QWidget(parent), row_(row)
{
    setObjectName(u"outline.row."_s + row.key);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout_ = new QHBoxLayout(this);
    layout_->setSpacing(partSpacing);
    applyStructure();
}

void OutlineRowView::setRow(const OutlineRow &row)
{
    if (row == row_)
        return;
    const bool structureChanged = row.depth != row_.depth || row.kind != row_.kind ||
                                  row.collapseKey.has_value() != row_.collapseKey.has_value() ||
                                  row.isHidden != row_.isHidden;
    row_ = row;
    if (structureChanged)
        applyStructure();
    if (chevron_)
        chevron_->setExpanded(row_.isExpanded);
    update();
}

void OutlineRowView::applyStructure()
{
    while (QLayoutItem *item = layout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    guides_ = nullptr;
    chevron_ = nullptr;
    layout_->setContentsMargins(padding());
    if (row_.kind != OutlineRow::Kind::root) {
        guides_ = new TreeGuides(row_.depth, this);
        layout_->addWidget(guides_);
    }
    if (row_.collapseKey) {
        chevron_ = new DisclosureChevron(row_.isExpanded, this);
        layout_->addWidget(chevron_);
    }
    layout_->addStretch(1);
    // Clicks land on the row, never on its parts.
    setGraphicsEffect(nullptr);
    if (row_.isHidden) {
        auto *effect = new QGraphicsOpacityEffect(this);
        effect->setOpacity(hiddenOpacity);
        setGraphicsEffect(effect);
    }
    setFixedHeight(sizeHint().height());
    updateGeometry();
}

QMargins OutlineRowView::padding() const
{
    switch (row_.kind) {
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

QFont OutlineRowView::labelFont() const
{
    QFont font = this->font();
    switch (row_.kind) {
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
        font.setWeight(row_.isActive ? QFont::DemiBold : QFont::Normal);
        font.setItalic(row_.isHidden);
        break;
    case OutlineRow::Kind::parameter:
    case OutlineRow::Kind::field:
    case OutlineRow::Kind::element:
        font = CardText::sized(font, CardText::bodyPointSize);
        break;
    }
    return font;
}

QSize OutlineRowView::sizeHint() const
{
    const QMargins margins = padding();
    const int content = std::max(TreeGuides::rowHeight, QFontMetrics(labelFont()).height());
    return {90, margins.top() + content + margins.bottom()};
}

QSize OutlineRowView::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

QRect OutlineRowView::chevronRect() const
{
    return chevron_ ? chevron_->geometry() : QRect();
}

bool OutlineRowView::hasSelectionFill() const
{
    return row_.isSelected &&
           (row_.kind == OutlineRow::Kind::parameter || row_.kind == OutlineRow::Kind::field ||
            row_.kind == OutlineRow::Kind::element);
}

QColor OutlineRowView::tintColor(OutlineTint tint, const QPalette &palette)
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

void OutlineRowView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = palette();
    const QColor accent = pal.color(QPalette::Highlight);

    if (hasSelectionFill()) {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 4, 4);
        painter.fillPath(path, accent);
    } else if (row_.isActive &&
               (row_.kind == OutlineRow::Kind::root || row_.kind == OutlineRow::Kind::band)) {
        painter.fillRect(rect(), withAlpha(accent, 0.12));
    } else if (row_.kind == OutlineRow::Kind::group) {
        painter.fillRect(rect(), withAlpha(tintColor(OutlineTint::purple, pal), 0.06));
    }

    const bool onAccent = hasSelectionFill();
    const QColor primary = onAccent ? QColor(Qt::white) : pal.color(QPalette::WindowText);
    const QColor secondary = CardText::secondaryColor(pal);
    const QMargins margins = padding();
    int x = margins.left();
    if (guides_)
        x = guides_->geometry().right() + 1 + partSpacing;
    if (chevron_)
        x = chevron_->geometry().right() + 1 + partSpacing;
    const QRect content = rect().marginsRemoved(margins);

    if (!row_.icon.isEmpty()) {
        double iconSize = 10;
        int frame = iconFrameWidth;
        QColor color = onAccent ? QColor(Qt::white) : tintColor(row_.iconTint, pal);
        if (row_.kind == OutlineRow::Kind::root) {
            iconSize = 11;
            frame = 13;
        } else if (row_.kind == OutlineRow::Kind::section) {
            iconSize = 9;
            frame = 11;
        } else if (row_.kind == OutlineRow::Kind::element) {
            iconSize = 11;
        }
        const int pixels = qRound(iconSize * logicalDpiY() / 72.0);
        const QPixmap pixmap =
            SymbolIcons::tintedPixmap(row_.icon, QSize(pixels, pixels), devicePixelRatioF(), color);
        const QRect iconRect(x + (frame - pixels) / 2, content.center().y() - pixels / 2 + 1,
                             pixels, pixels);
        painter.drawPixmap(iconRect, pixmap);
        x += frame + partSpacing;
    }

    QRect textRect(x, content.top(), content.right() - x + 1, content.height());
    if (!row_.detail.isEmpty()) {
        QFont small = CardText::sized(font(), CardText::caption2PointSize);
        painter.setFont(small);
        painter.setPen(secondary);
        const int width = QFontMetrics(small).horizontalAdvance(row_.detail);
        painter.drawText(QRect(content.right() - width + 1, content.top(), width, content.height()),
                         Qt::AlignVCenter | Qt::AlignRight, row_.detail);
        textRect.setRight(content.right() - width - partSpacing);
    }
    const QFont font = labelFont();
    painter.setFont(font);
    QColor textColor = primary;
    if (row_.kind == OutlineRow::Kind::section || row_.isHidden)
        textColor = secondary;
    painter.setPen(textColor);
    const QString text = QFontMetrics(font).elidedText(
        row_.kind == OutlineRow::Kind::section ? row_.label.toUpper() : row_.label, Qt::ElideRight,
        std::max(textRect.width(), 0));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
}

void OutlineRowView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressPosition_ = event->position().toPoint();
    dragging_ = false;
    event->accept();
}

void OutlineRowView::mouseMoveEvent(QMouseEvent *event)
{
    if (!pressPosition_ || dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - *pressPosition_).manhattanLength() <
        QApplication::startDragDistance())
        return;
    if (row_.kind != OutlineRow::Kind::parameter && row_.kind != OutlineRow::Kind::field)
        return;
    dragging_ = true;
    pressPosition_.reset();
    emit dragStarted(row_.key);
}

void OutlineRowView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !pressPosition_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint pressed = *pressPosition_;
    pressPosition_.reset();
    if (dragging_ || !rect().contains(event->position().toPoint()))
        return;
    // The chevron takes the clicks of its whole column, not only its drawn mark.
    const QRect chevron = chevronRect();
    const bool onChevron = !chevron.isEmpty() && pressed.x() >= chevron.left() - partSpacing / 2 &&
                           pressed.x() <= chevron.right() + partSpacing / 2;
    emit clicked(row_.key, event->modifiers(), onChevron);
}

void OutlineRowView::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    emit menuRequested(row_.key, event->globalPos());
}

void OutlineRowView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        setFixedHeight(sizeHint().height());
    QWidget::changeEvent(event);
}
