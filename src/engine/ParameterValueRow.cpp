#include "engine/ParameterValueRow.h"

#include "widgets/CardText.h"
#include "widgets/SymbolIcons.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using ParameterValueRules::Control;

namespace {

constexpr QStringView warningSymbol = u"exclamationmark.triangle.fill";

QFont sizedFont(const QFont &base, int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QString formatFor(Control kind)
{
    return (kind == Control::date ? ParameterValueRules::dateFormat
                                  : ParameterValueRules::dateTimeFormat)
        .toString();
}

} // namespace

ParameterValueRow::ParameterValueRow(const ReportParameter &parameter, Store store, QWidget *parent)
    : QWidget(parent), kind_(ParameterValueRules::controlFor(parameter.className)),
      parameter_(parameter), store_(std::move(store)), name_(new QLabel(this)),
      description_(new QLabel(this)), warning_(new QWidget(this)),
      warningIcon_(new QLabel(warning_)), warningLabel_(new QLabel(warning_))
{
    name_->setFont(sizedFont(font(), 12, QFont::Medium));
    name_->setTextFormat(Qt::PlainText);
    description_->setFont(sizedFont(font(), 11));
    description_->setTextFormat(Qt::PlainText);
    description_->setWordWrap(true);
    description_->setForegroundRole(QPalette::PlaceholderText);

    warningLabel_->setFont(sizedFont(font(), 11));
    warningLabel_->setTextFormat(Qt::PlainText);
    warningIcon_->setProperty(SymbolIcons::symbolProperty, warningSymbol.toString());
    auto *warningRow = new QHBoxLayout(warning_);
    warningRow->setContentsMargins(0, 0, 0, 0);
    warningRow->setSpacing(4);
    warningRow->addWidget(warningIcon_);
    warningRow->addWidget(warningLabel_, 1);
    paintWarningIcon();
    warning_->hide();

    control_ = makeControl();
    control_->setAccessibleName(parameter.name);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    column->addWidget(name_);
    column->addWidget(description_);
    column->addWidget(control_, 0, kind_ == Control::text ? Qt::Alignment() : Qt::AlignLeading);
    column->addWidget(warning_);
    setParameter(parameter);
}

void ParameterValueRow::setParameter(const ReportParameter &parameter)
{
    parameter_ = parameter;
    name_->setText(parameter.name);
    const QString description = parameter.parameterDescription.value_or(QString());
    description_->setText(description);
    description_->setVisible(!description.isEmpty());
    if (auto *field = qobject_cast<QLineEdit *>(control_))
        field->setPlaceholderText(parameter.className);
}

QWidget *ParameterValueRow::makeControl()
{
    switch (kind_) {
    case Control::toggle: {
        auto *toggle = new QCheckBox(this);
        connect(toggle, &QCheckBox::clicked, this,
                [this](bool on) { store_(on ? u"true"_s : u"false"_s); });
        return toggle;
    }
    case Control::date:
    case Control::dateAndTime: {
        auto *picker = new QDateTimeEdit(this);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(kind_ == Control::date ? u"yyyy-MM-dd"_s : u"yyyy-MM-dd HH:mm"_s);
        picker->setTimeSpec(Qt::LocalTime);
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &ParameterValueRow::storeDateTime);
        return picker;
    }
    case Control::text:
        break;
    }
    auto *field = new QLineEdit(this);
    connect(field, &QLineEdit::textEdited, this, [this](const QString &text) { store_(text); });
    return field;
}

void ParameterValueRow::storeDateTime()
{
    const auto *picker = static_cast<QDateTimeEdit *>(control_);
    store_(picker->dateTime().toString(formatFor(kind_)));
}

void ParameterValueRow::showValue(const std::optional<QString> &value)
{
    showWarning(value);
    if (hasShownValue_ && shownValue_ == value)
        return;
    hasShownValue_ = true;
    shownValue_ = value;
    const QString text = value.value_or(QString());
    switch (kind_) {
    case Control::toggle: {
        auto *toggle = static_cast<QCheckBox *>(control_);
        const QSignalBlocker blocker(toggle);
        toggle->setChecked(text == "true"_L1);
        return;
    }
    case Control::date:
    case Control::dateAndTime: {
        auto *picker = static_cast<QDateTimeEdit *>(control_);
        const QString format = formatFor(kind_);
        // A date alone starts at the day's first moment, also on a day that skips midnight.
        QDateTime shown = kind_ == Control::date ? QDate::fromString(text, format).startOfDay()
                                                 : QDateTime::fromString(text, format);
        if (shown.isValid() && picker->dateTime().toString(format) == text)
            return;
        // Text the format cannot read shows the current moment and stores nothing.
        if (!shown.isValid())
            shown = QDateTime::currentDateTime();
        const QSignalBlocker blocker(picker);
        picker->setDateTime(shown);
        return;
    }
    case Control::text: {
        auto *field = static_cast<QLineEdit *>(control_);
        if (field->text() != text)
            field->setText(text);
        return;
    }
    }
}

void ParameterValueRow::showWarning(const std::optional<QString> &value)
{
    const std::optional<QString> warning =
        ParameterValueRules::validationWarning(parameter_.className, value.value_or(QString()));
    warningLabel_->setText(warning.value_or(QString()));
    warning_->setVisible(warning.has_value());
}

QString ParameterValueRow::warningText() const
{
    return warning_->isVisibleTo(this) ? warningLabel_->text() : QString();
}

void ParameterValueRow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintWarningIcon();
}

void ParameterValueRow::paintWarningIcon()
{
    const QColor color = CardText::warningColor(palette());
    const int side = 11;
    warningIcon_->setPixmap(SymbolIcons::tintedPixmap(warningSymbol.toString(), QSize(side, side),
                                                      devicePixelRatioF(), color));
    QPalette labelPalette = warningLabel_->palette();
    labelPalette.setColor(QPalette::WindowText, color);
    warningLabel_->setPalette(labelPalette);
}
