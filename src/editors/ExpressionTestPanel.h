#pragma once

#include "model/ReportDocument.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class ExpressionEngine;
class ExpressionTestState;
class FlowLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

// The expression builder's test panel: "Run" evaluates the expression once in the report engine
// with the sample values typed for the fields and parameters it references, and shows the value
// or the engine's error as plain advice.
class ExpressionTestPanel : public QWidget {
    Q_OBJECT
public:
    ExpressionTestPanel(ExpressionTestState *state, const ReportDocument &document,
                        ExpressionEngine *engine, QWidget *parent = nullptr);

    // Follows the expression being written: which sample boxes show, whether Run is enabled.
    void setExpression(const QString &expression);

    // The declarations the expression references, in declaration order.
    QList<ReportField> referencedFields() const;
    QList<ReportParameter> referencedParameters() const;

    void runTest();
    // The engine of later runs; none disables them.
    void setEngine(ExpressionEngine *engine) { engine_ = engine; }

    QPushButton *runButton() const { return run_; }
    // The sample box of a label such as "$F{Amount}", if it shows.
    QLineEdit *sampleBox(const QString &label) const;
    QLabel *resultLabel() const { return result_; }
    QLabel *errorLabel() const { return error_; }
    QToolButton *detailsToggle() const { return detailsToggle_; }
    QLabel *detailsLabel() const { return details_; }

private:
    void refresh();
    void syncSampleBoxes();
    QWidget *sampleValueField(const QString &label, const QString &key);

    QPointer<ExpressionTestState> state_;
    ReportDocument document_;
    ExpressionEngine *engine_;
    QString expression_;
    QPushButton *run_;
    QProgressBar *spinner_;
    QLabel *caption_;
    QWidget *samples_;
    FlowLayout *sampleFlow_;
    QHash<QString, QWidget *> boxes_; // by label
    QWidget *resultRow_;
    QLabel *result_;
    QWidget *errorRow_;
    QLabel *error_;
    QToolButton *detailsToggle_;
    QLabel *details_;
};
