#pragma once

#include "widgets/SheetDialog.h"

#include <QList>
#include <QPointer>

class ParameterValueRow;
class QPushButton;
class QVBoxLayout;
class WorkspaceModel;

// The sheet that asks for the values of a report's prompted parameters before a run. It keeps no
// state of its own: it shows the workspace's pending parameters, edits the workspace's pending
// values and is shown while the workspace's prompt flag is set. "Run" confirms the prompt;
// "Cancel", or closing the sheet, drops the pending run.
class ParameterValuesSheet : public SheetDialog {
    Q_OBJECT

public:
    ParameterValuesSheet(WorkspaceModel *workspace, QWidget *window);

    // Stores each pending parameter's literal default (or the empty string) under its name;
    // values of other names stay.
    void resetToDefaults();

    // One row per pending parameter, in order.
    const QList<ParameterValueRow *> &rows() const { return rows_; }
    QPushButton *resetButton() const { return resetButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QPushButton *runButton() const { return runButton_; }

private:
    QWidget *makeHeader();
    // Reuses the rows of parameters that are still pending (by id) and makes the others.
    void syncRows();
    void showValues();
    void storeValue(const QString &name, const QString &value);

    QPointer<WorkspaceModel> workspace_;
    QVBoxLayout *rowsLayout_ = nullptr;
    QList<ParameterValueRow *> rows_;
    QPushButton *resetButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPushButton *runButton_ = nullptr;
};
