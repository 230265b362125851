#include "inspector/PassedParameters.h"

#include "document/DatasetRuns.h"
#include "model/FreshName.h"
#include "model/Identifiers.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

SubreportParameter *row(QList<SubreportParameter> &rows, const QUuid &id)
{
    for (SubreportParameter &parameter : rows) {
        if (parameter.id == id)
            return &parameter;
    }
    return nullptr;
}

} // namespace

namespace PassedParameters {

QList<SubreportParameter> *of(ElementKind &kind)
{
    if (auto *subreport = kind.as<ElementKind::Subreport>())
        return &subreport->parameters;
    if (auto *list = kind.as<ElementKind::List>())
        return &list->parameters;
    return nullptr;
}

const QList<SubreportParameter> *of(const ElementKind &kind)
{
    return of(const_cast<ElementKind &>(kind));
}

QString nextName(const QList<SubreportParameter> &rows)
{
    return firstFreeName(u"param"_s, rows);
}

void add(QList<SubreportParameter> &rows)
{
    rows.append({.id = newId(), .name = nextName(rows), .expression = {}});
}

bool setName(QList<SubreportParameter> &rows, const QUuid &id, const QString &name)
{
    SubreportParameter *parameter = row(rows, id);
    if (parameter)
        parameter->name = name;
    return parameter != nullptr;
}

bool setExpression(QList<SubreportParameter> &rows, const QUuid &id, const QString &expression)
{
    SubreportParameter *parameter = row(rows, id);
    if (parameter)
        parameter->expression = expression;
    return parameter != nullptr;
}

bool remove(QList<SubreportParameter> &rows, const QUuid &id)
{
    return rows.removeIf([&](const SubreportParameter &parameter) { return parameter.id == id; }) >
           0;
}

QStringList missingReportParameters(const QList<SubreportParameter> &rows,
                                    const QList<ReportParameter> &reportParameters)
{
    QSet<QString> listed;
    for (const SubreportParameter &parameter : rows)
        listed.insert(parameter.name);
    QStringList missing;
    for (const ReportParameter &parameter : reportParameters) {
        // A name the report declares twice is passed once.
        if (!listed.contains(parameter.name)) {
            missing.append(parameter.name);
            listed.insert(parameter.name);
        }
    }
    return missing;
}

bool passAll(QList<SubreportParameter> &rows, const QList<ReportParameter> &reportParameters)
{
    const QStringList missing = missingReportParameters(rows, reportParameters);
    for (const QString &name : missing)
        rows.append({.id = newId(), .name = name, .expression = u"$P{"_s + name + u'}'});
    return !missing.isEmpty();
}

bool keepDeclaredBy(QList<SubreportParameter> &rows, const ReportDocument &document,
                    const QString &dataset)
{
    return DatasetRuns::keepDeclaredBy(rows, document, dataset);
}

} // namespace PassedParameters
