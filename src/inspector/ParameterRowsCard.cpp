#include "inspector/ParameterRowsCard.h"

#include "inspector/PassedParameters.h"
#include "inspector/SubreportListTableTexts.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"
#include "widgets/RowControls.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

ParameterRowsCard::ParameterRowsCard(const ElementWriter &writer, const Options &options,
                                     QWidget *parent)
    : SectionCard(options.title, parent), writer_(writer), name_(options.name),
      rowsLayout_(new QVBoxLayout)
{
    setObjectName(name_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(SectionCard::spacing);
    addLayout(rowsLayout_);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    add_ = RowControls::symbolButton(u"plus"_s, options.addLabel, name_ + u".add"_s, this);
    connect(add_, &QPushButton::clicked, this, [this] {
        write([](QList<SubreportParameter> &rows) { PassedParameters::add(rows); });
    });
    buttons->addWidget(add_);
    if (options.withPassAll) {
        passAll_ =
            RowControls::symbolButton(u"arrow.turn.down.right"_s, u"Pass All Report Parameters"_s,
                                      name_ + u".passAll"_s, this);
        passAll_->setToolTip(SubreportListTableTexts::passAllHelp());
        connect(passAll_, &QPushButton::clicked, this, [this] {
            if (!writer_.acceptsWrites())
                return;
            const QList<ReportParameter> declared = writer_.store()->document().parameters;
            write([&](QList<SubreportParameter> &rows) {
                PassedParameters::passAll(rows, declared);
            });
        });
        buttons->addWidget(passAll_);
    }
    buttons->addStretch(1);
    addLayout(buttons);
}

void ParameterRowsCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    const QList<SubreportParameter> *parameters = PassedParameters::of(element.kind);
    if (!parameters)
        return;
    QList<QUuid> shown;
    for (const Row &row : std::as_const(rows_))
        shown.append(row.id);
    QList<QUuid> ids;
    for (const SubreportParameter &parameter : *parameters)
        ids.append(parameter.id);
    if (ids != shown)
        rebuildRows(*parameters);
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        RowControls::showText(rows_.at(i).name, parameters->at(i).name);
        RowControls::showText(rows_.at(i).expression, parameters->at(i).expression);
    }
    if (passAll_) {
        passAll_->setEnabled(
            !PassedParameters::missingReportParameters(*parameters, document.parameters).isEmpty());
    }
}

void ParameterRowsCard::rebuildRows(const QList<SubreportParameter> &parameters)
{
    for (const Row &row : std::as_const(rows_))
        RowControls::retire(row.widget);
    rows_.clear();
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QUuid id = parameters.at(i).id;
        const QString prefix = name_ + u".row"_s + QString::number(i);
        auto *widget = new QWidget(this);
        auto *layout = new QHBoxLayout(widget);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *name = new QLineEdit(widget);
        name->setObjectName(prefix + u".name"_s);
        name->setPlaceholderText(u"name"_s);
        EnteredTextValidator::install(name);
        name->setFixedWidth(80);
        auto *expression =
            RowControls::expressionField(u"expression"_s, prefix + u".expression"_s, widget);
        auto *remove = new RemoveRowButton(widget);
        remove->setObjectName(prefix + u".remove"_s);
        layout->addWidget(name);
        layout->addWidget(expression, 1);
        layout->addWidget(remove);

        connect(name, &QLineEdit::textEdited, this, [this, id](const QString &text) {
            write([&](QList<SubreportParameter> &rows) {
                PassedParameters::setName(rows, id, text);
            });
        });
        connect(expression, &QLineEdit::textEdited, this, [this, id](const QString &text) {
            write([&](QList<SubreportParameter> &rows) {
                PassedParameters::setExpression(rows, id, text);
            });
        });
        connect(remove, &QToolButton::clicked, this, [this, id] {
            write([&](QList<SubreportParameter> &rows) { PassedParameters::remove(rows, id); });
        });
        rowsLayout_->addWidget(widget);
        rows_.append({id, widget, name, expression});
    }
}

void ParameterRowsCard::write(const std::function<void(QList<SubreportParameter> &)> &change)
{
    writer_.updateOfKind([&](ReportElement &element) {
        if (QList<SubreportParameter> *rows = PassedParameters::of(element.kind))
            change(*rows);
    });
}
