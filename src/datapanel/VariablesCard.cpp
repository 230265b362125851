#include "datapanel/DataListSection.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataRowLines.h"
#include "editors/ExpressionBuilderButton.h"
#include "widgets/CardText.h"
#include "widgets/InspectorRows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>

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

// The entries of every group picker of the card, shared by all of them: "(choose)", standing
// for no group, then every group's name. A rename changes one entry, which every picker showing
// it follows, instead of each picker building its entries anew.
class GroupEntries : public QStandardItemModel {
public:
    explicit GroupEntries(QObject *parent = nullptr) : QStandardItemModel(parent)
    {
        // A group picker shows while its variable resets or increments on "Group", which the
        // engine refuses without a group: "(choose)" shows a variable that names none, but is
        // not offered.
        QStandardItem *none = entry(chooseLabel, QString());
        none->setEnabled(false);
        appendRow(none);
    }

    static QStringList names(const ReportDocument &document)
    {
        QStringList names;
        names.reserve(document.groups.size());
        for (const ReportGroup &group : document.groups)
            names.append(group.name);
        return names;
    }

    // Brings the entries in line with the report's groups, touching only those that differ.
    void follow(const ReportDocument &document)
    {
        const QStringList groups = names(document);
        const int wanted = int(groups.size()) + 1;
        if (rowCount() > wanted)
            removeRows(wanted, rowCount() - wanted);
        for (int i = 1; i < wanted; ++i) {
            const QString &name = groups.at(i - 1);
            if (i >= rowCount()) {
                appendRow(entry(name, name));
            } else if (item(i)->text() != name) {
                item(i)->setText(name);
                item(i)->setData(name, Qt::UserRole);
            }
        }
    }

private:
    static QStandardItem *entry(const QString &text, const QString &value)
    {
        auto *item = new QStandardItem(text);
        item->setData(value, Qt::UserRole);
        return item;
    }
};

// A picker of the report's groups over the card's shared entries; a stored name that no group
// has selects nothing.
QComboBox *groupPicker(GroupEntries *entries,
                       std::function<void(const std::optional<QString> &)> write, QWidget *parent)
{
    auto *picker = DataRowControls::textPicker({}, 0, parent);
    picker->setModel(entries);
    QObject::connect(picker, &QComboBox::activated, picker, [picker, write](int index) {
        write(DataListEdits::storedText(picker->itemData(index).toString()));
    });
    return picker;
}

void showGroup(QComboBox *picker, const std::optional<QString> &value)
{
    DataRowControls::showValue(picker, DataListEdits::shownText(value));
}

// The report's group names, read when a choice is made.
QStringList groupsOf(const DocumentStore *store)
{
    return store ? GroupEntries::names(store->document()) : QStringList();
}

void buildVariableRow(DataListRow &row, DocumentStore *store, SidecarModel *sidecar,
                      GroupEntries *groups)
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
    QObject::connect(reset, &QComboBox::activated, reset,
                     [write, reset, store = QPointer<DocumentStore>(store)](int index) {
                         const QString value = reset->itemData(index).toString();
                         const QStringList groups = groupsOf(store);
                         write([&](ReportVariable &variable) {
                             variable.resetType = value;
                             DataListEdits::keepGroupForType(value, variable.resetGroup, groups);
                         });
                     });
    second->add(calculation);
    second->add(DataRowControls::labelled(u"Reset"_s, reset, 130, second));
    second->addStretch();

    DataRowLine *third = lines->addLine(CardText::captionPointSize);
    QComboBox *resetGroup = groupPicker(
        groups,
        [write](const std::optional<QString> &value) {
            write([&](ReportVariable &variable) { variable.resetGroup = value; });
        },
        third);
    QWidget *resetGroupBox = DataRowControls::labelled(u"Reset Group"_s, resetGroup, 220, third);
    QComboBox *increment = DataRowControls::textPicker(
        QStringList{DataListEdits::defaultIncrementTypeLabel} + resetTypes(), 0, third);
    QObject::connect(increment, &QComboBox::activated, increment,
                     [write, increment, store = QPointer<DocumentStore>(store)](int index) {
                         const QString value = increment->itemData(index).toString();
                         const QStringList groups = groupsOf(store);
                         write([&](ReportVariable &variable) {
                             variable.incrementType = DataListEdits::storedIncrementType(value);
                             DataListEdits::keepGroupForType(value, variable.incrementGroup,
                                                             groups);
                         });
                     });
    QComboBox *incrementGroup = groupPicker(
        groups,
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
                       expression = expression,
                       initialValue = initialValue](const ReportDocument &document) {
        const ReportVariable *variable = DataListEdits::find(document.variables, id);
        if (!variable)
            return;
        InspectorRows::showText(name, variable->name);
        InspectorRows::showText(className, variable->className);
        DataRowControls::showValue(calculation, variable->calculation);
        // "Group" keeps its place, greyed out while the report has no group to name.
        for (QComboBox *picker : {reset, increment})
            DataRowControls::offerEntry(picker, groupType, !document.groups.isEmpty());
        DataRowControls::showValue(reset, variable->resetType);
        // A hidden group picker keeps its variable's group as it is.
        resetGroupBox->setVisible(variable->resetType == groupType);
        showGroup(resetGroup, variable->resetGroup);
        DataRowControls::showValue(increment,
                                   DataListEdits::shownIncrementType(variable->incrementType));
        incrementGroupBox->setVisible(variable->incrementType == groupType);
        showGroup(incrementGroup, variable->incrementGroup);
        InspectorRows::showText(expression, variable->expression);
        InspectorRows::showText(initialValue,
                                DataListEdits::shownText(variable->initialValueExpression));
    });
}

// The variable rows and the group entries their pickers share, which follow the report's
// groups before the rows show their values.
class VariablesSection : public DataListSection {
public:
    VariablesSection(const DataPanelContext &context, DataListSpec spec, GroupEntries *groups,
                     QWidget *parent)
        : DataListSection(context.store, std::move(spec), parent), store_(context.store),
          groups_(groups)
    {
        groups_->setParent(this);
    }

    void refresh() override
    {
        if (store_)
            groups_->follow(store_->document());
        DataListSection::refresh();
    }

private:
    QPointer<DocumentStore> store_;
    GroupEntries *groups_;
};

} // namespace

// One row of five lines per variable: name and class with the row buttons; calculation and
// reset; the reset group, increment and increment group; the expression; the initial value.
// Every row shows its values anew when the report's group names change.
DataPanelPart *makeVariablesCard(const DataPanelContext &context, QWidget *parent)
{
    DataListSpec spec =
        DataListSpec::of(&ReportDocument::variables, DataListOperations::variables(),
                         DataPanelCards::objectName(DataPanelCard::variables), u"Add Variable"_s);
    spec.warnOfSharedNames(&ReportDocument::variables, u"variable"_s);
    spec.mayRemove =
        DataListSpec::askingBeforeRemoving(context, RemovalQuestions::Declaration::variable);
    spec.renameWarning = DataListSpec::warningOfRenames(RemovalQuestions::Declaration::variable);
    spec.context = &GroupEntries::names;
    auto *groups = new GroupEntries;
    if (context.store)
        groups->follow(context.store->document());
    spec.buildRow = [store = context.store, sidecar = context.sidecar, groups](DataListRow &row) {
        buildVariableRow(row, store, sidecar, groups);
    };
    return new VariablesSection(context, std::move(spec), groups, parent);
}
