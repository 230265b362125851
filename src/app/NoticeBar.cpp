#include "app/NoticeBar.h"

#include "widgets/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

NoticeBar::NoticeBar(QWidget *parent) : QWidget(parent), label_(new QLabel(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);
    auto *icon = new QLabel(this);
    icon->setPixmap(SymbolIcons::icon(QStringLiteral("exclamationmark.triangle")).pixmap(16));
    icon->setProperty(SymbolIcons::symbolProperty, QStringLiteral("exclamationmark.triangle"));
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *close = new QPushButton(QStringLiteral("Dismiss"), this);
    connect(close, &QPushButton::clicked, this, [this] { dismiss(); });
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(label_, 1);
    row->addWidget(close, 0, Qt::AlignTop);
    hide();
}

QString NoticeBar::text() const
{
    return isVisible() ? label_->text() : QString();
}

void NoticeBar::tell(const QString &text)
{
    if (!text.isEmpty())
        label_->setText(text);
    setVisible(!text.isEmpty());
}

void NoticeBar::dismiss()
{
    hide();
}
