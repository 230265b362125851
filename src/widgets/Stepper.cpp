#include "widgets/Stepper.h"
#include "model/MeasurementUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

Stepper::Stepper(double minimum, double maximum, const QString &suffix, QWidget *parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), suffix_(suffix),
      label_(new QLabel(this)), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(label_);
    auto *arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    for (auto [button, arrow, name] :
         {std::tuple{up_, Qt::UpArrow, "up"}, std::tuple{down_, Qt::DownArrow, "down"}}) {
        button->setArrowType(arrow);
        button->setObjectName(QLatin1StringView(name));
        button->setFixedSize(18, 11);
        button->setAutoRepeat(true);
        arrows->addWidget(button);
    }
    row->addLayout(arrows);
    row->addStretch();
    connect(up_, &QToolButton::clicked, this, &Stepper::stepUp);
    connect(down_, &QToolButton::clicked, this, &Stepper::stepDown);
    refresh();
}

void Stepper::setValue(double value)
{
    value_ = value;
    refresh();
}

QString Stepper::text() const
{
    return QString::number(measurement::wholePoints(value_)) + suffix_;
}

void Stepper::step(int direction)
{
    if (!isEnabled())
        return;
    // A value that is not a number steps from the start of the range.
    const double next =
        std::isnan(value_) ? minimum_ : std::clamp(value_ + direction, minimum_, maximum_);
    if (next == value_)
        return;
    value_ = next;
    refresh();
    emit valueChanged(value_);
}

void Stepper::refresh()
{
    label_->setText(text());
    up_->setEnabled(value_ < maximum_);
    down_->setEnabled(value_ > minimum_);
}
