#include "document/DatasetRuns.h"

#include "document/ElementWalk.h"
#include "document/ExpressionUses.h"
#include "document/ReportReferences.h"
#include "document/TableGroups.h"

#include <QHash>
#include <QUuid>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace DatasetRuns {

namespace {

// The sub-dataset the engine runs under that name: the first so named.
const ReportSubDataset *runOf(const ReportDocument &document, const QString &name)
{
    const auto found =
        std::find_if(document.subDatasets.cbegin(), document.subDatasets.cend(),
                     [&](const ReportSubDataset &dataset) { return dataset.name == name; });
    return found == document.subDatasets.cend() ? nullptr : &*found;
}

// The parameters the sub-datasets of that name declare.
QSet<QString> parametersOf(const ReportDocument &document, const QString &name)
{
    QSet<QString> declared;
    for (const ReportSubDataset &dataset : document.subDatasets) {
        if (dataset.name != name)
            continue;
        for (const ReportParameter &parameter : dataset.parameters)
            declared.insert(parameter.name);
    }
    return declared;
}

// The dataset each list and table runs, by the element's id.
QHash<QUuid, QString> runNames(const ReportDocument &document)
{
    QHash<QUuid, QString> names;
    ElementWalk::visitDocument(document, [&](const ReportElement &element, ElementScope) {
        if (const auto *list = element.kind.as<ElementKind::List>())
            names.insert(element.id, list->datasetName);
        else if (const auto *table = element.kind.as<ElementKind::Table>())
            names.insert(element.id, table->datasetName);
    });
    return names;
}

// How many sub-datasets have that name.
qsizetype countNamed(const ReportDocument &document, const QString &name)
{
    return std::count_if(document.subDatasets.cbegin(), document.subDatasets.cend(),
                         [&](const ReportSubDataset &dataset) { return dataset.name == name; });
}

// The groups a list's content names: those of the dataset it runs.
QStringList groupsNamed(const ElementKind::List &list)
{
    return ReportReferences::groupsNamedIn(list.children);
}

} // namespace

const QSet<QString> &builtInNames()
{
    static const QSet<QString> names = {u"PAGE_NUMBER"_s,         u"PAGE_COUNT"_s,
                                        u"COLUMN_NUMBER"_s,       u"REPORT_COUNT"_s,
                                        u"COLUMN_COUNT"_s,        u"REPORT_CONNECTION"_s,
                                        u"REPORT_DATA_SOURCE"_s,  u"REPORT_PARAMETERS_MAP"_s,
                                        u"REPORT_TIME_ZONE"_s,    u"REPORT_LOCALE"_s,
                                        u"REPORT_VIRTUALIZER"_s,  u"REPORT_SCRIPTLET"_s,
                                        u"MASTER_CURRENT_PAGE"_s, u"MASTER_TOTAL_PAGES"_s};
    return names;
}

bool isEngineGiven(const QString &name)
{
    static const QSet<QString> engineOwn = {u"JASPER_REPORTS_CONTEXT"_s, u"JASPER_REPORT"_s,
                                            u"SORT_FIELDS"_s, u"FILTER"_s,
                                            u"IS_IGNORE_PAGINATION"_s};
    return builtInNames().contains(name) || name.startsWith(u"REPORT_"_s) ||
           engineOwn.contains(name);
}

QStringList passedTo(const ElementList &elements, const QString &dataset)
{
    QStringList names;
    const auto collect = [&](const QString &runs, const QList<SubreportParameter> &rows) {
        for (const SubreportParameter &row : rows) {
            if (runs == dataset && !row.name.isEmpty() && !isEngineGiven(row.name) &&
                !names.contains(row.name))
                names.append(row.name);
        }
    };
    ElementWalk::visitDocument(ReportReferences::alone(elements), [&](const ReportElement &element,
                                                                      ElementScope) {
        if (const auto *list = element.kind.as<ElementKind::List>()) {
            collect(list->datasetName, list->parameters);
        } else if (const auto *table = element.kind.as<ElementKind::Table>()) {
            collect(table->datasetName, table->parameters);
        } else {
            // A chart's, crosstab's or other component's runs, as the file wrote them.
            ExpressionUses::visitBody(element, {}, [&](const QString &name, const QString &runs) {
                collect(runs, {SubreportParameter{.name = name}});
            });
        }
    });
    return names;
}

QStringList groupsNamedBy(const ElementList &elements, const QString &dataset)
{
    QStringList names;
    const auto collect = [&](const QStringList &named) {
        for (const QString &name : named) {
            if (!names.contains(name))
                names.append(name);
        }
    };
    ElementWalk::visitDocument(
        ReportReferences::alone(elements), [&](const ReportElement &element, ElementScope) {
            if (const auto *list = element.kind.as<ElementKind::List>();
                list && list->datasetName == dataset)
                collect(groupsNamed(*list));
            else if (const auto *table = element.kind.as<ElementKind::Table>();
                     table && table->datasetName == dataset)
                collect(TableGroups::groupsNamed(*table));
        });
    return names;
}

bool keepGroupsOfRuns(ElementList &elements, const ReportDocument &document)
{
    // The groups of the sub-dataset the engine runs under that name, when one alone has it.
    const auto groupsOf = [&](const QString &name) -> std::optional<QStringList> {
        if (countNamed(document, name) != 1)
            return std::nullopt;
        return ReportReferences::groupsOfDataset(document, name);
    };
    ReportDocument edited = ReportReferences::alone(elements);
    const bool changed = ElementWalk::editDocument(
        edited, [&](const ReportElement &element, ElementScope) -> ElementWalk::Outcome {
            ReportElement kept = element;
            if (auto *list = kept.kind.as<ElementKind::List>()) {
                if (const std::optional<QStringList> groups = groupsOf(list->datasetName))
                    ReportReferences::keepGroupsOf(list->children, groupsNamed(*list), *groups);
            } else if (auto *table = kept.kind.as<ElementKind::Table>()) {
                if (const std::optional<QStringList> groups = groupsOf(table->datasetName))
                    TableGroups::keepGroupsOf(*table, TableGroups::groupsNamed(*table), *groups);
            }
            if (kept == element)
                return std::nullopt;
            return std::optional(kept);
        });
    if (changed)
        elements = edited.bands.first().elements;
    return changed;
}

bool keepDeclaredBy(QList<SubreportParameter> &rows, const ReportDocument &document,
                    const QString &dataset)
{
    if (!runOf(document, dataset))
        return false;
    // Of two sub-datasets sharing the name, either may be the one meant.
    const QSet<QString> declared = parametersOf(document, dataset);
    // Every dataset has the engine's own parameters, whether it declares them or not.
    return rows.removeIf([&](const SubreportParameter &row) {
        return !row.name.isEmpty() && !declared.contains(row.name) && !isEngineGiven(row.name);
    }) > 0;
}

bool follow(ReportDocument &document, const ReportDocument &before)
{
    const QHash<QUuid, QString> formerNames = runNames(before);
    const ReportDocument after = document; // read while the walk writes the copy
    // Whether a run formerly of `former` and now of `name` runs other declarations; the groups
    // it names are kept to the new one's.
    const auto fit = [&](const QString &former, const QString &name,
                         QList<SubreportParameter> &parameters, const auto &keepGroups) {
        const ReportSubDataset *now = runOf(after, name);
        if (!now)
            return;
        // While two sub-datasets share the name (a name typed on its way to another), which one
        // is meant is not known: the run keeps everything until the name stands for one again.
        if (countNamed(after, name) > 1)
            return;
        if (parametersOf(before, former) != parametersOf(after, name))
            keepDeclaredBy(parameters, after, name);
        const ReportSubDataset *was = runOf(before, former);
        if (was && was->id != now->id)
            keepGroups(ReportReferences::groupsOfDataset(before, former),
                       ReportReferences::groupsOfDataset(after, name));
    };
    return ElementWalk::editDocument(
        document, [&](const ReportElement &element, ElementScope) -> ElementWalk::Outcome {
            const auto former = formerNames.constFind(element.id);
            if (former == formerNames.cend())
                return std::nullopt;
            ReportElement changed = element;
            if (auto *list = changed.kind.as<ElementKind::List>()) {
                fit(*former, list->datasetName, list->parameters,
                    [&](const QStringList &from, const QStringList &to) {
                        ReportReferences::keepGroupsOf(list->children, from, to);
                    });
            } else if (auto *table = changed.kind.as<ElementKind::Table>()) {
                fit(*former, table->datasetName, table->parameters,
                    [&](const QStringList &from, const QStringList &to) {
                        TableGroups::keepGroupsOf(*table, from, to);
                    });
            }
            if (changed == element)
                return std::nullopt;
            return std::optional(changed);
        });
}

} // namespace DatasetRuns
