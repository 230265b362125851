#include "widgets/Spinner.h"

#include <QPainter>

Spinner::Spinner(int size, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Spinner"));
    setFixedSize(size, size);
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        angle_ = (angle_ + 30) % 360;
        update();
    });
}

void Spinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    timer_.start();
}

void Spinner::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    timer_.stop();
}

void Spinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = qMax(2.0, width() / 10.0);
    painter.setPen(QPen(palette().color(QPalette::WindowText), pen, Qt::SolidLine, Qt::RoundCap));
    const qreal inset = pen;
    painter.drawArc(QRectF(rect()).adjusted(inset, inset, -inset, -inset), -angle_ * 16, 270 * 16);
}
