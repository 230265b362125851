#pragma once

#include "engine/ParameterValueRules.h"
#include "model/ReportDocument.h"

#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;

// One parameter in the parameter prompt: its name, its description when it has one, the control
// its class calls for, and the warning for a value that cannot be what the class needs. The row
// holds no value of its own: it shows the value it is given and hands every edit to `store`.
class ParameterValueRow : public QWidget {
    Q_OBJECT

public:
    using Store = std::function<void(const QString &value)>;

    ParameterValueRow(const ReportParameter &parameter, Store store, QWidget *parent = nullptr);

    const ReportParameter &parameter() const { return parameter_; }
    // Takes new name and description texts; the class stays the one the row was made for.
    void setParameter(const ReportParameter &parameter);

    // Shows the stored value (none when the name has no entry). Controls that already show it
    // are left alone, so a field keeps its cursor while the user types.
    void showValue(const std::optional<QString> &value);

    ParameterValueRules::Control controlKind() const { return kind_; }
    // The control: a QCheckBox, a QDateTimeEdit (also for dates alone) or a QLineEdit.
    QWidget *control() const { return control_; }
    // The warning shown below the control; empty when there is none.
    QString warningText() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *makeControl();
    QLabel *makeWarningLabel(QWidget *parent);
    void showWarning(const std::optional<QString> &value);
    void paintWarningIcon();
    // Writes the picker's date or date and time in the stored form.
    void storeDateTime();

    ParameterValueRules::Control kind_;
    ReportParameter parameter_;
    Store store_;
    QLabel *name_;
    QLabel *description_;
    QWidget *control_ = nullptr;
    QWidget *warning_;
    QLabel *warningIcon_;
    QLabel *warningLabel_;
    // The value last shown, so that an unchanged value leaves the control as the user left it.
    bool hasShownValue_ = false;
    std::optional<QString> shownValue_;
};
