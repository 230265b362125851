#pragma once

#include "model/MeasurementUnit.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;

// One length shown in the user's unit: caption, number field and unit suffix. A committed edit
// (Return or leaving the field after typing in it) that changes the length is handed back in
// points; leaving the field without typing commits nothing. The field never changes the model
// itself.
class MeasurementField : public QWidget {
    Q_OBJECT
public:
    MeasurementField(const QString &label, double points, MeasurementUnit unit, int labelWidth,
                     std::function<void(double)> onCommit, QWidget *parent = nullptr);

    // Shows a new length or unit; the text is not touched while the user is typing in it.
    void setPoints(double points);
    void setUnit(MeasurementUnit unit);
    void setLabelWidth(int width);

    double points() const { return points_; }
    QLineEdit *lineEdit() const { return edit_; }

private:
    void commit();
    void refresh();

    double points_;
    MeasurementUnit unit_;
    std::function<void(double)> onCommit_;
    QLabel *caption_;
    QLineEdit *edit_;
    QLabel *suffix_;
};
