#include "canvas/RulerView.h"

#include "canvas/RulerTicks.h"
#include "model/ListEquality.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <utility>

RulerView::RulerView(Qt::Orientation orientation, std::function<void(double)> onToggleGuide,
                     QWidget *parent)
    : QWidget(parent), orientation_(orientation), onToggleGuide_(std::move(onToggleGuide))
{
    setToolTip(QStringLiteral("Click to drop a guide - click an existing guide to remove it"));
    if (orientation == Qt::Horizontal) {
        setFixedHeight(thickness);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(thickness);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

template <typename T> void RulerView::assign(T &member, const T &value)
{
    if (member == value)
        return;
    member = value;
    update();
}

void RulerView::setPageLength(double points)
{
    assign(pageLength_, points);
}

void RulerView::setUnit(MeasurementUnit unit)
{
    assign(unit_, unit);
}

void RulerView::setGuides(const QList<double> &guides)
{
    if (equalLists(guides_, guides))
        return;
    guides_ = guides;
    update();
}

void RulerView::setZoomLevel(double zoomLevel)
{
    assign(zoomLevel_, zoomLevel);
}

void RulerView::setScrollOffset(double offset)
{
    assign(scrollOffset_, offset);
}

void RulerView::setMarginOffset(double points)
{
    assign(marginOffset_, points);
}

void RulerView::setOnToggleGuide(std::function<void(double)> onToggleGuide)
{
    onToggleGuide_ = std::move(onToggleGuide);
}

QSize RulerView::sizeHint() const
{
    return orientation_ == Qt::Horizontal ? QSize(200, thickness) : QSize(thickness, 200);
}

double RulerView::length() const
{
    return orientation_ == Qt::Horizontal ? width() : height();
}

double RulerView::along(QPointF point) const
{
    return orientation_ == Qt::Horizontal ? point.x() : point.y();
}

void RulerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), background());
    const bool horizontal = orientation_ == Qt::Horizontal;
    const double t = thickness;
    QColor secondary = palette().color(QPalette::Active, QPalette::WindowText);
    secondary.setAlphaF(0.55f);
    painter.setPen(QPen(secondary, 1));
    QFont font = painter.font();
    font.setPixelSize(horizontal ? 8 : 7);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    for (const ruler::RulerTick &tick :
         ruler::rulerTicks(unit_, pageLength_, length(), zoomLevel_, scrollOffset_)) {
        const double size = tick.isLong ? 8 : 4;
        const double p = tick.position;
        if (horizontal)
            painter.drawLine(QPointF(p, t - size), QPointF(p, t));
        else
            painter.drawLine(QPointF(t - size, p), QPointF(t, p));
        if (tick.label.isEmpty())
            continue;
        if (horizontal) {
            painter.drawText(QPointF(p + 2, t - 10 - metrics.descent()), tick.label);
        } else {
            const double w = metrics.horizontalAdvance(tick.label);
            painter.drawText(QPointF(t - 3 - w, p + 2 + metrics.ascent()), tick.label);
        }
    }

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Active, QPalette::Highlight));
    for (double guide : guides_) {
        const std::optional<double> p =
            ruler::guideMarkerPosition(guide, marginOffset_, zoomLevel_, scrollOffset_, length());
        if (!p)
            continue;
        QPainterPath triangle;
        if (horizontal) {
            triangle.moveTo(*p - 3, t);
            triangle.lineTo(*p + 3, t);
            triangle.lineTo(*p, t - 6);
        } else {
            triangle.moveTo(t, *p - 3);
            triangle.lineTo(t, *p + 3);
            triangle.lineTo(t - 6, *p);
        }
        triangle.closeSubpath();
        painter.drawPath(triangle);
    }
}

void RulerView::mousePressEvent(QMouseEvent *event)
{
    // Only the primary button places and removes guides.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressPoint_ = event->position();
    event->accept();
}

void RulerView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const std::optional<QPointF> press = std::exchange(pressPoint_, std::nullopt);
    if (!press || !ruler::isClick(event->position() - *press) || !onToggleGuide_ || zoomLevel_ <= 0)
        return;
    onToggleGuide_(
        ruler::guideForClick(along(event->position()), marginOffset_, zoomLevel_, scrollOffset_));
}
