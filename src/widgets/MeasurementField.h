#pragma once

#include "model/LengthVerdict.h"
#include "model/MeasurementUnit.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;

// One length shown in the user's unit: caption, number field and unit suffix. A committed edit
// (Return or leaving the field after typing in it) that changes the length is handed back in
// points; leaving the field without typing commits nothing, and neither does leaving it only for
// a moment (HeldTyping): the typing stays for Return or for leaving the field, and the window's
// Undo takes it back first. The field never changes the model itself.
//
// A typed length passes the field's check first: one beyond what a report file can carry is
// refused, and the caller's check (setCheck) may refuse others or take the nearest length the
// report can hold instead. A refused length is not handed back and the field shows the stored
// one again; either way the check's message shows under the field (named "<name>.message")
// until the next commit, or until the length shown changes otherwise (an undo, another report):
// the message answers the typing, for the length it was typed over.
class MeasurementField : public QWidget {
    Q_OBJECT
public:
    using Check = std::function<LengthVerdict(double points, MeasurementUnit unit)>;

    MeasurementField(const QString &label, double points, MeasurementUnit unit, int labelWidth,
                     std::function<void(double)> onCommit, QWidget *parent = nullptr);

    void setCheck(Check check) { check_ = std::move(check); }
    // The message under the field; empty while none shows.
    QString message() const;
    // Takes the message away.
    void clearMessage() { showMessage({}); }

    // Shows a new length or unit; the text is not touched while the user is typing in it.
    void setPoints(double points);
    void setUnit(MeasurementUnit unit);
    void setLabelWidth(int width);

    double points() const { return points_; }
    QLineEdit *lineEdit() const { return edit_; }

    // Commits the typing, as Return does (a control that acts on the lengths takes it first);
    // false when the check refused it.
    bool commitTyping() { return commit(); }

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Hands a typed length on; false when its check refused it.
    bool commit();
    void refresh();

    void showMessage(const QString &text);
    void paintMessage();

    double points_;
    // Set while a commit hands its length on: the length the report keeps then is its answer.
    bool committing_ = false;
    MeasurementUnit unit_;
    std::function<void(double)> onCommit_;
    Check check_;
    QLabel *caption_;
    QLineEdit *edit_;
    QLabel *suffix_;
    QLabel *message_;
};
