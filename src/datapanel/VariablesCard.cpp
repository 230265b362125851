#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataRowLines.h"
#include "editors/ExpressionBuilderButton.h"
#include "widgets/CardText.h"
#include "widgets/InspectorRows.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using Writer = DataListEdits::RowWriter<ReportVariable>;

const QString groupType = u"Group"_s;
const QString chooseLabel = u"(choose)"_s;

const QStringList &resetTypes()
{
    static const QStringList list = {u"None"_s, u"Report"_s, u"Page"_s, u"Column"_s, groupType};
    return list;
}

// A picker of the report's groups: "(choose)", standing for no group, then every group's name.
// The entries follow the groups as they change; a stored name that no group has selects nothing.
QComboBox *groupPicker(std::function<void(const std::optional<QString> &)> write, QWidget *parent)
{
    auto *picker = DataRowControls::textPicker({}, 0, parent);
    picker->addItem(chooseLabel, QString());
    QObject::connect(picker, &QComboBox::activated, picker, [picker, write](int index) {
        write(DataListEdits::storedText(picker->itemData(index).toString()));
    });
    return picker;
}

void showGroups(QComboBox *picker, const ReportDocument &document,
                const std::optional<QString> &value)
{
    QStringList names;
    for (const ReportGroup &group : document.groups)
        names.append(group.name);
    QStringList shown;
    for (int i = 1; i < picker->count(); ++i)
        shown.append(picker->itemText(i));
    if (shown != names) {
        const QSignalBlocker blocker(picker);
        while (picker->count() > 1)
            picker->removeItem(1);
        for (const QString &name : std::as_const(names))
            picker->addItem(name, name);
    }
    DataRowControls::showValue(picker, DataListEdits::shownText(value));
}

void buildVariableRow(DataListRow &row, DocumentStore *store, SidecarModel *sidecar)
{
    const Writer writer(store, &ReportDocument::variables, row.id());
    const auto write = [writer](auto change) { writer.write(change); };
    auto *lines = new DataRowLines(row, 4);

    DataRowLine *first = lines->addLine();
    QLineEdit *name = DataRowControls::textField(u"name"_s, 130, first);
    QObject::connect(name, &QLineEdit::textEdited, name, [write](const QString &text) {
        write([&](ReportVariable &variable) { variable.name = text; });
    });
    QLineEdit *className = DataRowControls::textField(u"class"_s, 150, first);
    QObject::connect(className, &QLineEdit::textEdited, className, [write](const QString &text) {
        write([&](ReportVariable &variable) { variable.className = text; });
    });
    first->add(name);
    first->add(className);
    first->addStretch();
    lines->endWithRowButtons(first);

    DataRowLine *second = lines->addLine(CardText::captionPointSize);
    QComboBox *calculation =
        DataRowControls::textPicker(DataListEdits::calculations(), 130, second);
    QObject::connect(calculation, &QComboBox::activated, calculation,
                     [write, calculation](int index) {
                         const QString value = calculation->itemData(index).toString();
                         write([&](ReportVariable &variable) { variable.calculation = value; });
                     });
    QComboBox *reset = DataRowControls::textPicker(resetTypes(), 0, second);
    QObject::connect(reset, &QComboBox::activated, reset, [write, reset](int index) {
        const QString value = reset->itemData(index).toString();
        write([&](ReportVariable &variable) { variable.resetType = value; });
    });
    second->add(calculation);
    second->add(DataRowControls::labelled(u"Reset"_s, reset, 130, second));
    second->addStretch();

    DataRowLine *third = lines->addLine(CardText::captionPointSize);
    QComboBox *resetGroup = groupPicker(
        [write](const std::optional<QString> &value) {
            write([&](ReportVariable &variable) { variable.resetGroup = value; });
        },
        third);
    QWidget *resetGroupBox = DataRowControls::labelled(u"Reset Group"_s, resetGroup, 220, third);
    QComboBox *increment = DataRowControls::textPicker(
        QStringList{DataListEdits::defaultIncrementTypeLabel} + resetTypes(), 0, third);
    QObject::connect(increment, &QComboBox::activated, increment, [write, increment](int index) {
        const QString value = increment->itemData(index).toString();
        write([&](ReportVariable &variable) {
            variable.incrementType = DataListEdits::storedIncrementType(value);
        });
    });
    QComboBox *incrementGroup = groupPicker(
        [write](const std::optional<QString> &value) {
            write([&](ReportVariable &variable) { variable.incrementGroup = value; });
        },
        third);
    QWidget *incrementGroupBox =
        DataRowControls::labelled(u"Increment Group"_s, incrementGroup, 220, third);
    third->add(resetGroupBox);
    third->add(DataRowControls::labelled(u"Increment"_s, increment, 150, third));
    third->add(incrementGroupBox);
    third->addStretch();

    const auto [expression, expressionBuilder] = DataRowControls::expressionField(
        u"expression"_s,
        [writer] {
            const ReportVariable *variable = writer.current();
            return variable ? variable->expression : QString();
        },
        [write](const QString &text) {
            write([&](ReportVariable &variable) { variable.expression = text; });
        },
        store, sidecar, lines->addLine());

    const auto [initialValue, initialBuilder] = DataRowControls::expressionField(
        u"initial value expression (optional)"_s,
        [writer] {
            const ReportVariable *variable = writer.current();
            return variable ? DataListEdits::shownText(variable->initialValueExpression)
                            : QString();
        },
        [write](const QString &text) {
            write([&](ReportVariable &variable) {
                variable.initialValueExpression = DataListEdits::storedText(text);
            });
        },
        store, sidecar, lines->addLine(CardText::captionPointSize));

    lines->name(name, u"name"_s);
    lines->name(className, u"className"_s);
    lines->name(calculation, u"calculation"_s);
    lines->name(reset, u"resetType"_s);
    lines->name(resetGroup, u"resetGroup"_s);
    lines->name(increment, u"incrementType"_s);
    lines->name(incrementGroup, u"incrementGroup"_s);
    lines->name(expression, u"expression"_s);
    lines->name(expressionBuilder, u"expressionBuilder"_s);
    lines->name(initialValue, u"initialValue"_s);
    lines->name(initialBuilder, u"initialValueBuilder"_s);
    lines->setRefresh([id = row.id(), name, className, calculation, reset, resetGroup,
                       resetGroupBox, increment, incrementGroup, incrementGroupBox,
                       expression = expression, expressionBuilder = expressionBuilder,
                       initialValue = initialValue,
                       initialBuilder = initialBuilder](const ReportDocument &document) {
        const ReportVariable *variable = DataListEdits::find(document.variables, id);
        if (!variable)
            return;
        InspectorRows::showText(name, variable->name);
        InspectorRows::showText(className, variable->className);
        DataRowControls::showValue(calculation, variable->calculation);
        DataRowControls::showValue(reset, variable->resetType);
        // A hidden group picker keeps its variable's group as it is.
        resetGroupBox->setVisible(variable->resetType == groupType);
        showGroups(resetGroup, document, variable->resetGroup);
        DataRowControls::showValue(increment,
                                   DataListEdits::shownIncrementType(variable->incrementType));
        incrementGroupBox->setVisible(variable->incrementType == groupType);
        showGroups(incrementGroup, document, variable->incrementGroup);
        InspectorRows::showText(expression, variable->expression);
        InspectorRows::showText(initialValue,
                                DataListEdits::shownText(variable->initialValueExpression));
        expressionBuilder->setDocument(document);
        initialBuilder->setDocument(document);
    });
}

} // namespace

// One row of five lines per variable: name and class with the row buttons; calculation and
// reset; the reset group, increment and increment group; the expression; the initial value.
DataPanelPart *makeVariablesCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec =
        DataListSpec::of(&ReportDocument::variables, DataListOperations::variables(),
                         DataPanelCards::objectName(DataPanelCard::variables), u"Add Variable"_s);
    spec.mayRemove =
        DataListSpec::askingBeforeRemoving(context, RemovalQuestions::Declaration::variable);
    spec.buildRow = [store = context.store, sidecar = context.sidecar](DataListRow &row) {
        buildVariableRow(row, store, sidecar);
    };
    return new DataListSection(context.store, std::move(spec), parent);
}
