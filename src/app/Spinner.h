#pragma once

#include <QPainter>
#include <QTimer>
#include <QWidget>

// A turning arc, as small as a control's progress indicator.
class Spinner : public QWidget {
public:
    explicit Spinner(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(16, 16);
        timer_.setInterval(80);
        connect(&timer_, &QTimer::timeout, this, [this] {
            angle_ = (angle_ + 30) % 360;
            update();
        });
    }

protected:
    void showEvent(QShowEvent *) override { timer_.start(); }
    void hideEvent(QHideEvent *) override { timer_.stop(); }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(palette().color(QPalette::WindowText), 2, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.drawArc(QRectF(2, 2, 12, 12), -angle_ * 16, 270 * 16);
    }

private:
    QTimer timer_;
    int angle_ = 0;
};
