#include "widgets/PanelDivider.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

PanelDivider::PanelDivider(std::function<void(double)> onDrag, std::function<void(double)> onEnd,
                           QWidget *parent)
    : QWidget(parent), onDrag_(std::move(onDrag)), onEnd_(std::move(onEnd))
{
    setFixedWidth(handleWidth);
    setCursor(Qt::SplitHCursor);
}

void PanelDivider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.15f);
    painter.fillRect(QRect(width() / 2, 0, 1, height()), line);
}

void PanelDivider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressX_ = event->globalPosition().x();
    dragging_ = false;
}

void PanelDivider::mouseMoveEvent(QMouseEvent *event)
{
    if (!pressX_)
        return;
    const double translation = event->globalPosition().x() - *pressX_;
    if (!dragging_ && std::abs(translation) < 1)
        return;
    dragging_ = true;
    onDrag_(translation);
}

void PanelDivider::mouseReleaseEvent(QMouseEvent *event)
{
    if (!pressX_ || event->button() != Qt::LeftButton)
        return;
    const double translation = event->globalPosition().x() - *pressX_;
    if (dragging_)
        onEnd_(translation);
    pressX_.reset();
    dragging_ = false;
}
