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
    // Text the user is typing stays; a field the user only visits shows the new length.
    if (!edit_->hasFocus() || !edit_->isModified())
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
    // Only what the user typed is committed: read back, the rounded text shown (20 points as
    // 7.06 mm) would give another length when the user merely passed through the field.
    if (!edit_->isModified())
        return;
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
    // A field that already shows the text keeps its caret and selection; either way the user's
    // edit has ended.
    const QString shown = measurement::format(points_, unit_, locale());
    if (edit_->text() != shown)
        edit_->setText(shown);
    edit_->setModified(false);
    const QString text = measurement::suffix(unit_);
    suffix_->setText(text);
    suffix_->setVisible(!text.isEmpty());
}
