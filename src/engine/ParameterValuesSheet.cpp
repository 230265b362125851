#include "engine/ParameterValuesSheet.h"

#include "engine/ParameterValueRow.h"
#include "widgets/SheetHeader.h"
#include "widgets/WheelGuard.h"
#include "workspace/WorkspaceModel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QUuid>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ParameterValuesSheet::ParameterValuesSheet(WorkspaceModel *workspace, QWidget *window)
    : SheetDialog(window,
                  [workspace = QPointer<WorkspaceModel>(workspace)] {
                      if (workspace)
                          workspace->dismissParameterPrompt();
                  }),
      workspace_(workspace)
{
    setObjectName(u"ParameterPromptSheet"_s);
    // Scrolling the sheet changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    setWindowTitle(u"Parameter Values"_s);
    setMinimumSize(420, 320);

    auto *rowsWidget = new QWidget;
    rowsLayout_ = new QVBoxLayout(rowsWidget);
    rowsLayout_->setContentsMargins(16, 16, 16, 16);
    rowsLayout_->setSpacing(14);
    rowsLayout_->addStretch(1);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(rowsWidget);

    QFrame *divider = horizontalDivider(this);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(divider);
    column->addWidget(scroll, 1);

    connect(workspace, &WorkspaceModel::pendingParametersChanged, this,
            &ParameterValuesSheet::syncRows);
    connect(workspace, &WorkspaceModel::pendingParameterValuesChanged, this,
            &ParameterValuesSheet::showValues);
    connect(workspace, &WorkspaceModel::isParameterPromptVisibleChanged, this,
            [this] { setShown(workspace_->isParameterPromptVisible()); });
    syncRows();
    setShown(workspace->isParameterPromptVisible());
}

QWidget *ParameterValuesSheet::makeHeader()
{
    auto *header = new QWidget(this);
    auto *title = new QLabel(u"Parameter Values"_s, header);
    QFont headline = title->font();
    headline.setBold(true);
    title->setFont(headline);

    resetButton_ = new QPushButton(u"Reset to Defaults"_s, header);
    resetButton_->setToolTip(u"Restore each parameter's own declared default value, discarding "
                             u"whatever's currently typed here"_s);
    cancelButton_ = new QPushButton(u"Cancel"_s, header);
    runButton_ = new QPushButton(u"Run"_s, header);
    resetButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);
    runButton_->setDefault(true);
    connect(resetButton_, &QPushButton::clicked, this, &ParameterValuesSheet::resetToDefaults);
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        if (workspace_)
            workspace_->dismissParameterPrompt();
    });
    connect(runButton_, &QPushButton::clicked, this, [this] {
        if (workspace_)
            workspace_->confirmParameterPrompt();
    });

    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(12, 12, 12, 12);
    row->addWidget(title);
    row->addStretch(1);
    row->addWidget(resetButton_);
    row->addWidget(cancelButton_);
    row->addWidget(runButton_);
    return header;
}

void ParameterValuesSheet::syncRows()
{
    if (!workspace_)
        return;
    QHash<QUuid, ParameterValueRow *> previous;
    for (ParameterValueRow *row : std::as_const(rows_))
        previous.insert(row->parameter().id, row);

    QList<ParameterValueRow *> rows;
    for (const ReportParameter &parameter : workspace_->pendingParameters()) {
        ParameterValueRow *row = previous.take(parameter.id);
        if (row && row->parameter().className != parameter.className) {
            delete row;
            row = nullptr;
        }
        if (row) {
            row->setParameter(parameter);
        } else {
            row = new ParameterValueRow(
                parameter,
                [this, name = parameter.name](const QString &value) { storeValue(name, value); },
                rowsLayout_->parentWidget());
        }
        rows.append(row);
    }
    qDeleteAll(previous);
    rows_ = rows;
    // The rows in order, ahead of the closing stretch.
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        rowsLayout_->removeWidget(rows_.at(i));
        rowsLayout_->insertWidget(int(i), rows_.at(i));
    }
    showValues();
}

void ParameterValuesSheet::showValues()
{
    if (!workspace_)
        return;
    const WorkspaceModel::ParameterValues &values = workspace_->pendingParameterValues();
    for (ParameterValueRow *row : std::as_const(rows_)) {
        const auto found = values.constFind(row->parameter().name);
        row->showValue(found == values.cend() ? std::nullopt : std::optional<QString>(*found));
    }
}

void ParameterValuesSheet::storeValue(const QString &name, const QString &value)
{
    if (!workspace_)
        return;
    WorkspaceModel::ParameterValues values = workspace_->pendingParameterValues();
    values.insert(name, value);
    workspace_->setPendingParameterValues(values);
}

void ParameterValuesSheet::resetToDefaults()
{
    if (!workspace_)
        return;
    WorkspaceModel::ParameterValues values = workspace_->pendingParameterValues();
    for (const ReportParameter &parameter : workspace_->pendingParameters())
        values.insert(parameter.name, parameter.literalDefaultDisplayValue().value_or(QString()));
    workspace_->setPendingParameterValues(values);
}
