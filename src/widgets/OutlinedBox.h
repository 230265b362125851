#pragma once

#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>

// Holds its one child inside a rounded outline (corner radius 4), grey at 30 % opacity, as the
// data panel frames its query editors.
class OutlinedBox : public QWidget {
public:
    OutlinedBox(QWidget *content, QWidget *parent) : QWidget(parent)
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->addWidget(content);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor grey(Qt::gray);
        grey.setAlphaF(0.3);
        painter.setPen(QPen(grey, 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
};
