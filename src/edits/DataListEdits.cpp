#include "edits/DataListEdits.h"

#include "edits/InspectorEdits.h"
#include "model/FreshName.h"

using namespace Qt::StringLiterals;

DataListOperations DataListOperations::parameters()
{
    return {&DocumentStore::addParameter, &DocumentStore::moveParameter,
            &DocumentStore::removeParameter};
}

DataListOperations DataListOperations::fields()
{
    return {&DocumentStore::addField, &DocumentStore::moveField, &DocumentStore::removeField};
}

DataListOperations DataListOperations::sortFields()
{
    return {&DocumentStore::addSortField, &DocumentStore::moveSortField,
            &DocumentStore::removeSortField};
}

DataListOperations DataListOperations::scriptlets()
{
    return {&DocumentStore::addScriptlet, &DocumentStore::moveScriptlet,
            &DocumentStore::removeScriptlet};
}

DataListOperations DataListOperations::reportTemplates()
{
    return {&DocumentStore::addReportTemplate, &DocumentStore::moveReportTemplate,
            &DocumentStore::removeReportTemplate};
}

DataListOperations DataListOperations::variables()
{
    return {&DocumentStore::addVariable, &DocumentStore::moveVariable,
            &DocumentStore::removeVariable};
}

DataListOperations DataListOperations::groups()
{
    return {&DocumentStore::addGroup, &DocumentStore::moveGroup, &DocumentStore::removeGroup};
}

DataListOperations DataListOperations::styles()
{
    return {&DocumentStore::addStyle, &DocumentStore::moveStyle, &DocumentStore::removeStyle};
}

DataListOperations DataListOperations::subDatasets()
{
    return {&DocumentStore::addSubDataset, &DocumentStore::moveSubDataset,
            &DocumentStore::removeSubDataset};
}

namespace DataListEdits {

bool writeDocument(DocumentStore &store, const QString &key,
                   const std::function<void(ReportDocument &)> &change)
{
    return InspectorEdits::writeDeclaration(store, key, change);
}

QString rowKey(const QUuid &id)
{
    return u"row-"_s + id.toString();
}

QString shownText(const std::optional<QString> &value)
{
    return value.value_or(QString());
}

std::optional<QString> storedText(const QString &text)
{
    return InspectorEdits::optionalText(text);
}

const QString defaultIncrementTypeLabel = u"(default)"_s;

const QStringList &calculations()
{
    static const QStringList list = {u"Nothing"_s,           u"Count"_s,    u"Sum"_s,
                                     u"Average"_s,           u"Highest"_s,  u"Lowest"_s,
                                     u"StandardDeviation"_s, u"Variance"_s, u"First"_s,
                                     u"DistinctCount"_s};
    return list;
}

QString shownIncrementType(const std::optional<QString> &value)
{
    return value.value_or(defaultIncrementTypeLabel);
}

std::optional<QString> storedIncrementType(const QString &text)
{
    if (text == defaultIncrementTypeLabel)
        return std::nullopt;
    return text;
}

void keepGroupForType(const QString &type, std::optional<QString> &group, const QStringList &groups)
{
    if (type == u"Group" && !groups.isEmpty() && !groups.contains(group.value_or(QString())))
        group = groups.first();
}

} // namespace DataListEdits

namespace DataListDefaults {

ConditionalStyleRule conditionalStyle()
{
    return ConditionalStyleRule();
}

ReportParameter subDatasetParameter(const ReportSubDataset &dataset)
{
    ReportParameter parameter;
    parameter.name = firstFreeName(u"param"_s, dataset.parameters);
    parameter.className = u"java.lang.String"_s;
    parameter.isForPrompting = true;
    return parameter;
}

ReportField subDatasetField(const ReportSubDataset &dataset)
{
    ReportField field;
    field.name = firstFreeName(u"field"_s, dataset.fields);
    field.className = u"java.lang.String"_s;
    return field;
}

ReportVariable subDatasetVariable(const ReportSubDataset &dataset)
{
    ReportVariable variable;
    variable.name = firstFreeName(u"variable"_s, dataset.variables);
    variable.className = u"java.lang.Integer"_s;
    variable.calculation = u"Count"_s;
    variable.resetType = u"Report"_s;
    return variable;
}

} // namespace DataListDefaults
