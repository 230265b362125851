#include "widgets/SheetHeader.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QLabel *sheetTitle(const QString &title, QWidget *parent)
{
    auto *label = new QLabel(title, parent);
    QFont headline = label->font();
    headline.setBold(true);
    label->setFont(headline);
    return label;
}

QWidget *sheetHeader(const QString &title, const QList<QWidget *> &trailing, QWidget *parent)
{
    auto *header = new QWidget(parent);
    QLabel *titleLabel = sheetTitle(title, header);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(12, 12, 12, 12);
    row->addWidget(titleLabel);
    row->addStretch(1);
    for (QWidget *item : trailing)
        row->addWidget(item);

    QFrame *line = horizontalDivider(header);

    auto *column = new QVBoxLayout(header);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(row);
    column->addWidget(line);
    return header;
}

QFrame *horizontalDivider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}
