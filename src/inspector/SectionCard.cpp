#include "inspector/SectionCard.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

SectionCard::SectionCard(const QString &title, QWidget *parent)
    : QFrame(parent), column_(new QVBoxLayout(this)), title_(new QLabel(title, this))
{
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(spacing);
    title_->setObjectName(QStringLiteral("cardTitle"));
    title_->setTextFormat(Qt::PlainText);
    QFont titleFont = title_->font();
    titleFont.setPointSizeF(10);
    titleFont.setWeight(QFont::DemiBold);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    titleFont.setCapitalization(QFont::AllUppercase);
    title_->setFont(titleFont);
    title_->setForegroundRole(QPalette::Highlight);
    column_->addWidget(title_);
}

void SectionCard::addWidget(QWidget *widget)
{
    column_->addWidget(widget);
}

void SectionCard::addLayout(QLayout *layout)
{
    column_->addLayout(layout);
}

void SectionCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(shape, QColor(0, 0, 0, qRound(255 * 0.03)));
    QColor border(Qt::gray);
    border.setAlphaF(0.15F);
    painter.setPen(QPen(border, 1));
    painter.drawPath(shape);
}
