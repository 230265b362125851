#pragma once

#include "widgets/MeasurementField.h"

#include <QWidget>
#include <functional>

class AppSettings;
class QComboBox;
class QLabel;
class QLineEdit;

// A length of the inspector in the user's unit: a measurement field with a 46-point caption
// that follows the unit preference. A commit hands the new length in points to `onCommit`,
// where the caller writes it by one of the edit paths; the row itself writes nothing.
class LengthRow : public MeasurementField {
    Q_OBJECT

public:
    static constexpr int labelWidth = 46;

    LengthRow(const QString &label, double points, AppSettings &settings,
              std::function<void(double)> onCommit, QWidget *parent = nullptr);
};

// A caption and a text field. Every edit the user makes hands the whole text to `onEdit`;
// showing a value never calls it.
class TextRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int defaultLabelWidth = 70;

    TextRow(const QString &label, std::function<void(const QString &)> onEdit,
            int labelWidth = defaultLabelWidth, QWidget *parent = nullptr);

    // Shows the model's text in place (see InspectorRows::showText).
    void showText(const QString &text);
    QLineEdit *lineEdit() const { return edit_; }

private:
    QLineEdit *edit_;
};

// What the inspector's cards share to show values in place and to lay out their texts.
namespace InspectorRows {

// Shows the model's text in a field that the user may be typing in: a field that already holds
// it is left alone (its caret and selection stay), any other gets the text without signals.
void showText(QLineEdit *edit, const QString &text);
// Chooses the entry without signals, so showing a value never writes it.
void showIndex(QComboBox *picker, int index);
// The semibold heading at the top of an inspector.
QLabel *heading(const QString &text, QWidget *parent);
// A wrapping text in the secondary (dimmed) style.
QLabel *secondaryText(const QString &text, QWidget *parent);
// Gives a label that style.
void makeSecondaryText(QLabel *label);
// A caption and a picker in one row; the picker takes the rest of the width.
QWidget *pickerRow(const QString &label, QComboBox *picker, QWidget *parent);

} // namespace InspectorRows
