#pragma once

#include <QAbstractSpinBox>
#include <functional>

// A stepper with its value written beside the arrows: the arrows, the arrow keys and the wheel
// move the value by one step within a range and hand the new value to `stepped`; the text is
// not typed into. The shown value is whatever the model holds, also outside the range or not a
// number; a step from there lands inside the range.
class StepperField : public QAbstractSpinBox {
    Q_OBJECT

public:
    StepperField(double minimum, double maximum, double step, std::function<QString(double)> format,
                 QWidget *parent = nullptr);

    // Shows the model's value; never hands it on.
    void showValue(double value);
    double value() const { return value_; }

    void stepBy(int steps) override;

signals:
    // A step the user made, with the value it leads to.
    void stepped(double value);

protected:
    StepEnabled stepEnabled() const override;
    // The wheel steps only a focused stepper; otherwise it scrolls the panel, so that scrolling
    // past the stepper changes nothing.
    void wheelEvent(QWheelEvent *event) override;

private:
    double minimum_;
    double maximum_;
    double step_;
    std::function<QString(double)> format_;
    double value_ = 0;
};
