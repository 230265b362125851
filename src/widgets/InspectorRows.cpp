#include "widgets/InspectorRows.h"

#include "widgets/CardText.h"
#include "widgets/EnteredTextValidator.h"
#include "workspace/AppSettings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

LengthRow::LengthRow(const QString &label, double points, AppSettings &settings,
                     std::function<void(double)> onCommit, QWidget *parent)
    : MeasurementField(label, points, settings.measurementUnit(), labelWidth, std::move(onCommit),
                       parent)
{
    connect(&settings, &AppSettings::measurementUnitChanged, this,
            [this, &settings] { setUnit(settings.measurementUnit()); });
}

TextRow::TextRow(const QString &label, std::function<void(const QString &)> onEdit, int labelWidth,
                 QWidget *parent)
    : QWidget(parent), edit_(new QLineEdit(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(label, this);
    caption->setFixedWidth(labelWidth);
    caption->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    row->addWidget(caption);
    row->addWidget(edit_, 1);
    EnteredTextValidator::install(edit_);
    connect(edit_, &QLineEdit::textEdited, this,
            [onEdit = std::move(onEdit)](const QString &text) { onEdit(text); });
}

void TextRow::showText(const QString &text)
{
    InspectorRows::showText(edit_, text);
}

namespace InspectorRows {

void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text)
        return;
    const QSignalBlocker blocker(edit);
    edit->setText(text);
}

void showIndex(QComboBox *picker, int index)
{
    if (picker->currentIndex() == index)
        return;
    const QSignalBlocker blocker(picker);
    picker->setCurrentIndex(index);
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSizeF(10);
    font.setWeight(QFont::DemiBold);
    label->setFont(font);
    return label;
}

QLabel *secondaryText(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    makeSecondaryText(label);
    return label;
}

void makeSecondaryText(QLabel *label)
{
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFont(CardText::sized(label->font(), 10));
    // The panel's base-coloured background would make the label draw in the text role, which
    // the secondary style does not dim.
    label->setForegroundRole(QPalette::WindowText);
    CardText::makeSecondary(label);
}

QWidget *pickerRow(const QString &label, QComboBox *picker, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    // As wide as the length rows' captions, or as its text needs.
    auto *caption = new QLabel(label, row);
    caption->setMinimumWidth(LengthRow::labelWidth);
    layout->addWidget(caption);
    picker->setParent(row);
    layout->addWidget(picker, 1);
    return row;
}

} // namespace InspectorRows
