#include "widgets/CardSection.h"
#include "widgets/CardText.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

CardSection::CardSection(const QString &title, const std::optional<QString> &subtitle,
                         QWidget *parent)
    : QFrame(parent), column_(new QVBoxLayout(this))
{
    setFont(CardText::sized(font(), CardText::bodyPointSize));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(spacing);

    auto *heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("cardTitle"));
    heading->setTextFormat(Qt::PlainText);
    QFont headingFont = CardText::sized(font(), 12);
    headingFont.setWeight(QFont::DemiBold);
    heading->setFont(headingFont);
    column_->addWidget(heading);
    if (subtitle) {
        QLabel *line = CardText::note(*subtitle, this);
        line->setObjectName(QStringLiteral("cardSubtitle"));
        column_->addWidget(line);
    }
}

void CardSection::addWidget(QWidget *widget)
{
    column_->addWidget(widget);
}

void CardSection::addLayout(QLayout *layout)
{
    column_->addLayout(layout);
}

void CardSection::paintEvent(QPaintEvent *)
{
    paintCard(this, cornerRadius);
}

void CardSection::paintCard(QWidget *card, qreal cornerRadius)
{
    QPainter painter(card);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(card->rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius,
                         cornerRadius);
    painter.fillPath(shape, QColor(0, 0, 0, qRound(255 * 0.03)));
    QColor border(Qt::gray);
    border.setAlphaF(0.15F);
    painter.setPen(QPen(border, 1));
    painter.drawPath(shape);
}
