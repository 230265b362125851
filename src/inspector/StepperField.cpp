#include "inspector/StepperField.h"

#include "inspector/BoxSides.h"

#include <QLineEdit>
#include <QWheelEvent>
#include <cmath>

StepperField::StepperField(double minimum, double maximum, double step,
                           std::function<QString(double)> format, QWidget *parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum), step_(step),
      format_(std::move(format))
{
    lineEdit()->setReadOnly(true);
    setKeyboardTracking(false);
    setAccelerated(false);
    setFocusPolicy(Qt::StrongFocus);
    showValue(minimum);
}

void StepperField::showValue(double value)
{
    value_ = value;
    lineEdit()->setText(format_(value));
    update();
}

void StepperField::stepBy(int steps)
{
    const double next = BoxSides::stepped(value_, steps, step_, minimum_, maximum_);
    if (next == value_)
        return;
    emit stepped(next);
}

QAbstractSpinBox::StepEnabled StepperField::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    // A value that is not a number can step into the range either way.
    if (std::isnan(value_) || value_ < maximum_)
        enabled |= StepUpEnabled;
    if (std::isnan(value_) || value_ > minimum_)
        enabled |= StepDownEnabled;
    return enabled;
}

void StepperField::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QAbstractSpinBox::wheelEvent(event);
}
