#include "MeasurementField.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

MeasurementField::MeasurementField(const QString &label, double points, MeasurementUnit unit,
                                   int labelWidth, std::function<void(double)> onCommit,
                                   QWidget *parent)
    : QWidget(parent), points_(points), unit_(unit), onCommit_(std::move(onCommit)),
      caption_(new QLabel(label, this)), edit_(new QLineEdit(this)), suffix_(new QLabel(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    caption_->setFixedWidth(labelWidth);
    caption_->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    QFont small = suffix_->font();
    small.setPointSize(9);
    suffix_->setFont(small);
    suffix_->setForegroundRole(QPalette::PlaceholderText);
    row->addWidget(caption_);
    row->addWidget(edit_, 1);
    row->addWidget(suffix_);
    connect(edit_, &QLineEdit::editingFinished, this, &MeasurementField::commit);
    refresh();
}

void MeasurementField::setPoints(double points)
{
    points_ = points;
    if (!edit_->hasFocus())
        refresh();
}

void MeasurementField::setUnit(MeasurementUnit unit)
{
    unit_ = unit;
    refresh();
}

void MeasurementField::setLabelWidth(int width)
{
    caption_->setFixedWidth(width);
}

void MeasurementField::commit()
{
    const auto length = measurement::committedPoints(edit_->text(), points_, unit_, locale());
    if (length) {
        points_ = *length;
        if (onCommit_)
            onCommit_(*length);
    }
    refresh();
}

void MeasurementField::refresh()
{
    edit_->setText(measurement::format(points_, unit_, locale()));
    const QString text = measurement::suffix(unit_);
    suffix_->setText(text);
    suffix_->setVisible(!text.isEmpty());
}
