#include "app/ToolStrip.h"

#include "widgets/SheetHeader.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QVBoxLayout>

ToolStrip::ToolStrip(QWidget *palette, QWidget *format, QWidget *align, QWidget *parent)
    : QWidget(parent), palette_(palette), format_(format), align_(align),
      firstRow_(new QHBoxLayout), secondRow_(new QHBoxLayout), divider_(horizontalDivider(this))
{
    setObjectName(QStringLiteral("ToolStrip"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    for (QBoxLayout *row : {firstRow_, secondRow_}) {
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
    }
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addLayout(firstRow_);
    rows->addWidget(divider_);
    rows->addLayout(secondRow_);
    for (QWidget *part : {palette_, format_, align_})
        part->setParent(this);
    arrange(false);
}

void ToolStrip::arrange(bool twoRows)
{
    if (arranged_ && twoRows == twoRows_)
        return;
    arranged_ = true;
    twoRows_ = twoRows;
    for (QBoxLayout *row : {firstRow_, secondRow_}) {
        while (QLayoutItem *item = row->takeAt(0))
            delete item; // the widgets stay; only their places go
    }
    if (twoRows) {
        firstRow_->addWidget(format_);
        firstRow_->addStretch(1);
        firstRow_->addWidget(align_);
        secondRow_->addWidget(palette_);
        secondRow_->addStretch(1);
    } else {
        firstRow_->addWidget(palette_);
        firstRow_->addWidget(format_);
        firstRow_->addStretch(1);
        firstRow_->addWidget(align_);
    }
    divider_->setVisible(twoRows);
}

void ToolStrip::resizeEvent(QResizeEvent *event)
{
    const int needed =
        palette_->sizeHint().width() + format_->sizeHint().width() + align_->sizeHint().width();
    arrange(needed > event->size().width());
    QWidget::resizeEvent(event);
}
