#include "widgets/DataRowCard.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

DataRowCard::DataRowCard(QWidget *parent) : QWidget(parent), frame_(new QHBoxLayout(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    frame_->setContentsMargins(horizontalPadding, verticalPadding, horizontalPadding,
                               verticalPadding);
    frame_->setSpacing(0);
}

void DataRowCard::setContent(QWidget *content)
{
    frame_->addWidget(content, 1, Qt::AlignLeft | Qt::AlignVCenter);
}

void DataRowCard::setContent(QLayout *content)
{
    frame_->addLayout(content, 1);
}

void DataRowCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, palette().color(QPalette::Base));
}
