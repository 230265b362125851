#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataRowLines.h"
#include "datapanel/RelativeDateHelper.h"
#include "editors/ExpressionBuilderButton.h"
#include "widgets/CardText.h"
#include "widgets/InspectorRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using Writer = DataListEdits::RowWriter<ReportParameter>;

void onEdit(QLineEdit *field, std::function<void(const QString &)> write)
{
    QObject::connect(field, &QLineEdit::textEdited, field, std::move(write));
}

// The third line of a date-range parameter: a relative date keyword that stands for the whole
// default value expression.
DataRowLine *relativeDateLine(DataRowLines &lines, const Writer &writer, QComboBox *&picker)
{
    DataRowLine *line = lines.addLine();
    line->layout()->setSpacing(6);
    auto *label = new QLabel(u"Relative Date"_s, line);
    label->setFont(CardText::sized(label->font(), CardText::caption2PointSize));
    CardText::makeSecondary(label);
    picker = DataRowControls::textPicker(RelativeDateHelper::keywords(), 140, line);
    picker->setFont(CardText::sized(picker->font(), CardText::captionPointSize));
    QObject::connect(picker, &QComboBox::activated, picker, [writer, picker](int index) {
        const QString keyword = picker->itemData(index).toString();
        writer.write([&](ReportParameter &parameter) {
            parameter.defaultValueExpression = RelativeDateHelper::expression(keyword);
        });
    });
    line->add(label);
    line->add(picker);
    line->addStretch();
    lines.name(picker, u"relativeDate"_s);
    return line;
}

void buildParameterRow(DataListRow &row, DocumentStore *store, SidecarModel *sidecar)
{
    const Writer writer(store, &ReportDocument::parameters, row.id());
    auto *lines = new DataRowLines(row, 2);

    DataRowLine *first = lines->addLine();
    QLineEdit *name = DataRowControls::textField(u"name"_s, 130, first);
    onEdit(name, [writer](const QString &text) {
        writer.write([&](ReportParameter &parameter) { parameter.name = text; });
    });
    QLineEdit *className = DataRowControls::textField(u"class"_s, 150, first);
    onEdit(className, [writer](const QString &text) {
        writer.write([&](ReportParameter &parameter) { parameter.className = text; });
    });
    first->add(name);
    first->add(className);
    const auto [defaultValue, builder] = DataRowControls::expressionField(
        u"default value expression"_s,
        [writer] {
            const ReportParameter *parameter = writer.current();
            return parameter ? DataListEdits::shownText(parameter->defaultValueExpression)
                             : QString();
        },
        [writer](const QString &text) {
            writer.write([&](ReportParameter &parameter) {
                parameter.defaultValueExpression = DataListEdits::storedText(text);
            });
        },
        store, sidecar, first);
    auto *prompt = new QCheckBox(u"Prompt"_s, first);
    prompt->setToolTip(u"Ask for this parameter's value when the report runs"_s);
    QObject::connect(prompt, &QCheckBox::clicked, prompt, [writer](bool checked) {
        writer.write([&](ReportParameter &parameter) { parameter.isForPrompting = checked; });
    });
    first->add(prompt);
    lines->endWithRowButtons(first);

    DataRowLine *second = lines->addLine(CardText::captionPointSize);
    QLineEdit *description = DataRowControls::textField(u"description"_s, 0, second);
    onEdit(description, [writer](const QString &text) {
        writer.write([&](ReportParameter &parameter) {
            parameter.parameterDescription = DataListEdits::storedText(text);
        });
    });
    second->add(description, 1);

    QComboBox *relativeDate = nullptr;
    DataRowLine *third = relativeDateLine(*lines, writer, relativeDate);

    lines->name(name, u"name"_s);
    lines->name(className, u"className"_s);
    lines->name(defaultValue, u"default"_s);
    lines->name(builder, u"builder"_s);
    lines->name(prompt, u"prompt"_s);
    lines->name(description, u"description"_s);
    lines->name(third, u"relativeDateLine"_s);
    lines->setRefresh([id = row.id(), name, className, defaultValue = defaultValue, prompt,
                       description, third, relativeDate](const ReportDocument &document) {
        const ReportParameter *parameter = DataListEdits::find(document.parameters, id);
        if (!parameter)
            return;
        InspectorRows::showText(name, parameter->name);
        InspectorRows::showText(className, parameter->className);
        InspectorRows::showText(defaultValue,
                                DataListEdits::shownText(parameter->defaultValueExpression));
        DataRowControls::showChecked(prompt, parameter->isForPrompting);
        InspectorRows::showText(description,
                                DataListEdits::shownText(parameter->parameterDescription));
        const bool dateRange = RelativeDateHelper::appliesTo(parameter->className);
        third->setVisible(dateRange);
        if (dateRange)
            DataRowControls::showValue(
                relativeDate, RelativeDateHelper::keyword(parameter->defaultValueExpression));
    });
}

} // namespace

// One row of several lines per parameter: name, class, default value with its builder, Prompt
// and the row buttons; the description; and the relative date of a date-range parameter.
DataPanelPart *makeParametersCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec =
        DataListSpec::of(&ReportDocument::parameters, DataListOperations::parameters(),
                         DataPanelCards::objectName(DataPanelCard::parameters), u"Add Parameter"_s);
    spec.warnOfSharedNames(&ReportDocument::parameters, u"parameter"_s);
    spec.mayRemove =
        DataListSpec::askingBeforeRemoving(context, RemovalQuestions::Declaration::parameter);
    spec.renameWarning = DataListSpec::warningOfRenames(RemovalQuestions::Declaration::parameter);
    spec.buildRow = [store = context.store, sidecar = context.sidecar](DataListRow &row) {
        buildParameterRow(row, store, sidecar);
    };
    // A date-range parameter's row has its relative date line.
    spec.shape = [](const ReportDocument &document, qsizetype index) {
        return int(RelativeDateHelper::appliesTo(document.parameters.at(index).className));
    };
    return new DataListSection(context.store, std::move(spec), parent);
}
