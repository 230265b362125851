#include "inspector/BoxDiagram.h"

#include "widgets/CardText.h"
#include "widgets/ColorHex.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

using namespace Qt::StringLiterals;

void BoxSideSelectionState::setSelected(const BoxSideSet &sides)
{
    if (sides == selected_)
        return;
    selected_ = sides;
    emit selectedChanged();
}

bool BoxSideSelectionState::toggle(BoxSide side)
{
    BoxSideSet sides = selected_;
    const bool nowSelected = !sides.remove(side);
    if (nowSelected)
        sides.insert(side);
    setSelected(sides);
    return nowSelected;
}

BoxDiagram::BoxDiagram(BoxSideSelectionState *selection, int centerSize, int edgeThickness,
                       QWidget *parent)
    : QWidget(parent), selection_(selection), centerSize_(centerSize), edgeThickness_(edgeThickness)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMouseTracking(true);
    if (selection)
        connect(selection, &BoxSideSelectionState::selectedChanged, this,
                qOverload<>(&QWidget::update));
}

void BoxDiagram::setElement(const ReportElement &element)
{
    if (element == element_)
        return;
    element_ = element;
    update();
}

bool BoxDiagram::isSelected(BoxSide side) const
{
    return selection_ && selection_->selected().contains(side);
}

QSize BoxDiagram::sizeHint() const
{
    const int side = centerSize_ + 2 * edgeThickness_;
    return {side, side};
}

QRect BoxDiagram::barRect(BoxSide side) const
{
    const int e = edgeThickness_;
    const int c = centerSize_;
    switch (side) {
    case BoxSide::top:
        return {e, 0, c, e};
    case BoxSide::left:
        return {0, e, e, c};
    case BoxSide::bottom:
        return {e, e + c, c, e};
    case BoxSide::right:
        break;
    }
    return {e + c, e, e, c};
}

std::optional<BoxSide> BoxDiagram::sideAt(const QPoint &position) const
{
    for (BoxSide side : BoxSides::all()) {
        if (barRect(side).contains(position))
            return side;
    }
    return std::nullopt;
}

QColor BoxDiagram::secondary(double opacity) const
{
    QColor color = CardText::secondaryColor(palette());
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

void BoxDiagram::clicked(BoxSide, bool) {}

bool BoxDiagram::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const std::optional<BoxSide> side = sideAt(help->pos())) {
            QToolTip::showText(help->globalPos(), helpText(*side), this, barRect(*side));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void BoxDiagram::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int e = edgeThickness_;
    painter.fillRect(QRect(e, e, centerSize_, centerSize_), secondary(0.06));
    for (BoxSide side : BoxSides::all())
        paintBar(painter, side, barRect(side));
}

void BoxDiagram::mousePressEvent(QMouseEvent *event)
{
    pressed_ =
        event->button() == Qt::LeftButton ? sideAt(event->position().toPoint()) : std::nullopt;
    event->accept();
}

void BoxDiagram::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<BoxSide> pressed = std::exchange(pressed_, std::nullopt);
    if (event->button() != Qt::LeftButton || !pressed || !selection_ ||
        sideAt(event->position().toPoint()) != pressed)
        return;
    const bool nowSelected = selection_->toggle(*pressed);
    clicked(*pressed, nowSelected);
}

PaddingBoxDiagram::PaddingBoxDiagram(BoxSideSelectionState *selection, QWidget *parent)
    : BoxDiagram(selection, centerSize, edgeThickness, parent)
{
}

QString PaddingBoxDiagram::helpText(BoxSide side) const
{
    return BoxSides::paddingBarHelp(side, isSelected(side), BoxSides::padding(element(), side));
}

void PaddingBoxDiagram::paintBar(QPainter &painter, BoxSide side, const QRect &bar) const
{
    const bool selected = isSelected(side);
    const double points = BoxSides::padding(element(), side);
    painter.fillRect(bar, selected ? palette().color(QPalette::Highlight) : secondary(0.10));
    QFont font = CardText::sized(this->font(), 10);
    font.setBold(selected);
    painter.setFont(font);
    QColor text = Qt::white;
    if (!selected)
        text = points > 0 ? palette().color(QPalette::WindowText) : secondary(0.5);
    painter.setPen(text);
    painter.drawText(bar, Qt::AlignCenter, QString::number(BoxSides::wholePoints(points)));
}

BorderBoxDiagram::BorderBoxDiagram(BoxSideSelectionState *selection,
                                   std::function<void(BoxSide, bool)> onToggle, QWidget *parent)
    : BoxDiagram(selection, centerSize, edgeThickness, parent), onToggle_(std::move(onToggle))
{
}

QString BorderBoxDiagram::helpText(BoxSide side) const
{
    return BoxSides::borderBarHelp(side, isSelected(side));
}

QColor BorderBoxDiagram::penColor(BoxSide side) const
{
    const std::optional<BoxSidePen> &pen = BoxSides::pen(element(), side);
    if (!pen)
        return secondary(0.25);
    return ColorHex::fromHex(pen->color ? pen->color->hex : u"#000000"_s)
        .value_or(palette().color(QPalette::WindowText));
}

void BorderBoxDiagram::paintBar(QPainter &painter, BoxSide side, const QRect &bar) const
{
    painter.fillRect(bar, isSelected(side) ? palette().color(QPalette::Highlight) : penColor(side));
}

void BorderBoxDiagram::clicked(BoxSide side, bool nowSelected)
{
    if (onToggle_)
        onToggle_(side, nowSelected);
}
