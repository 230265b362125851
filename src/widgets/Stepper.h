#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// A value label beside a pair of up and down buttons that move a number by whole steps within a
// range. The label shows the whole-number part of the value followed by a suffix.
class Stepper : public QWidget {
    Q_OBJECT

public:
    Stepper(double minimum, double maximum, const QString &suffix, QWidget *parent = nullptr);

    double value() const { return value_; }
    // Shows the value; emits nothing.
    void setValue(double value);
    QString text() const;

    // As pressing the up or down button does.
    void stepUp() { step(1); }
    void stepDown() { step(-1); }

signals:
    void valueChanged(double value);

private:
    void step(int direction);
    void refresh();

    double minimum_;
    double maximum_;
    QString suffix_;
    double value_ = 0;
    QLabel *label_;
    QToolButton *up_;
    QToolButton *down_;
};
