#include "inspector/SectionCard.h"

#include "widgets/CardSection.h"

#include <QLabel>
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
    CardSection::paintCard(this, cornerRadius);
}
