#include "document/DatasetRuns.h"
#include "document/DocumentStoreListItems.h"
#include "document/ReportReferences.h"
#include "document/SortFieldNames.h"
#include "model/FreshName.h"
#include "model/PageLayout.h"
#include "model/ReportParts.h"

#include <algorithm>

namespace {

const QString stringClass = QStringLiteral("java.lang.String");

} // namespace

void DocumentStore::addParameter()
{
    ReportParameter parameter;
    parameter.name = firstFreeName(QStringLiteral("param"), document_.parameters);
    parameter.className = stringClass;
    parameter.isForPrompting = true;
    addListItem(&ReportDocument::parameters, parameter);
}

void DocumentStore::moveParameter(int index, int offset)
{
    moveListItem(&ReportDocument::parameters, index, offset);
}

void DocumentStore::removeParameter(const QUuid &id)
{
    removeListItem(&ReportDocument::parameters, id);
}

void DocumentStore::addField()
{
    ReportField field;
    field.name = firstFreeName(QStringLiteral("field"), document_.fields);
    field.className = stringClass;
    addListItem(&ReportDocument::fields, field);
}

void DocumentStore::moveField(int index, int offset)
{
    moveListItem(&ReportDocument::fields, index, offset);
}

void DocumentStore::removeField(const QUuid &id)
{
    removeListItem(&ReportDocument::fields, id);
}

void DocumentStore::addSortField()
{
    // A sort field without a name is refused by the engine: with nothing left to sort on, none.
    if (const std::optional<ReportSortField> sortField = SortFieldNames::next(document_))
        addListItem(&ReportDocument::sortFields, *sortField);
}

void DocumentStore::moveSortField(int index, int offset)
{
    moveListItem(&ReportDocument::sortFields, index, offset);
}

void DocumentStore::removeSortField(const QUuid &id)
{
    removeListItem(&ReportDocument::sortFields, id);
}

void DocumentStore::addScriptlet()
{
    addListItem(&ReportDocument::scriptlets, ReportScriptlet());
}

void DocumentStore::moveScriptlet(int index, int offset)
{
    moveListItem(&ReportDocument::scriptlets, index, offset);
}

void DocumentStore::removeScriptlet(const QUuid &id)
{
    removeListItem(&ReportDocument::scriptlets, id);
}

void DocumentStore::addReportTemplate()
{
    ReportTemplate reportTemplate;
    reportTemplate.className = stringClass;
    addListItem(&ReportDocument::reportTemplates, reportTemplate);
}

void DocumentStore::moveReportTemplate(int index, int offset)
{
    moveListItem(&ReportDocument::reportTemplates, index, offset);
}

void DocumentStore::removeReportTemplate(const QUuid &id)
{
    removeListItem(&ReportDocument::reportTemplates, id);
}

void DocumentStore::addVariable()
{
    ReportVariable variable;
    variable.name = firstFreeName(QStringLiteral("var"), document_.variables);
    variable.className = stringClass;
    variable.calculation = QStringLiteral("Nothing");
    variable.resetType = QStringLiteral("Report");
    addListItem(&ReportDocument::variables, variable);
}

void DocumentStore::moveVariable(int index, int offset)
{
    moveListItem(&ReportDocument::variables, index, offset);
}

void DocumentStore::removeVariable(const QUuid &id)
{
    removeListItem(&ReportDocument::variables, id);
}

void DocumentStore::addGroup()
{
    ReportGroup group;
    group.name = firstFreeName(QStringLiteral("Group"), document_.groups);
    // A report of parts takes no band: the group has no header or footer of its own.
    if (ReportParts::isPartReport(document_)) {
        group.isHeaderAbsent = true;
        group.isFooterAbsent = true;
        addListItem(&ReportDocument::groups, group);
        return;
    }
    // Each band 20 high, where the page holds it that high with the bands printed with it.
    ReportDocument with = document_;
    with.groups.append(group);
    for (const BandTarget &target :
         {BandTarget::groupHeader(group.id), BandTarget::groupFooter(group.id)}) {
        const std::optional<double> height = heightOnPage(with, target, 20);
        if (!height) {
            emit bandLimitReached(target, PageLayout::largestBandHeight(with, target));
            return;
        }
        (target.kind() == BandTarget::Case::groupHeader ? group.headerHeight : group.footerHeight) =
            *height;
    }
    addListItem(&ReportDocument::groups, group);
}

void DocumentStore::moveGroup(int index, int offset)
{
    moveListItem(&ReportDocument::groups, index, offset);
}

void DocumentStore::removeGroup(const QUuid &groupID)
{
    const QUuid id = groupID;
    // The active band leaves with the group's header or footer, before the dirty flag is set.
    const bool activeGoes = activeBandTarget_ == BandTarget::groupHeader(id) ||
                            activeBandTarget_ == BandTarget::groupFooter(id);
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            const QStringList names = removeNamed(d, &ReportDocument::groups, id);
            for (const QString &name : names)
                ReportReferences::dropGroup(d, name);
        });
        if (activeGoes)
            activateFirstDetailBand();
    });
}

ReportSubDataset DocumentStore::newSubDataset(const ReportDocument &document)
{
    ReportSubDataset dataset;
    dataset.name = firstFreeName(QStringLiteral("Dataset"), document.subDatasets);
    dataset.queryLanguage = QStringLiteral("sql");
    return dataset;
}

void DocumentStore::addSubDataset()
{
    addListItem(&ReportDocument::subDatasets, newSubDataset(document_));
}

void DocumentStore::moveSubDataset(int index, int offset)
{
    moveListItem(&ReportDocument::subDatasets, index, offset);
}

void DocumentStore::removeSubDataset(const QUuid &datasetID)
{
    const QUuid id = datasetID;
    applyDiscreteEdit([&] {
        changeDocument([&](ReportDocument &d) {
            const ReportDocument before = d;
            const QStringList names = removeNamed(d, &ReportDocument::subDatasets, id);
            for (const QString &name : names)
                ReportReferences::dropSubDataset(d, name);
            // What ran the name another sub-dataset keeps runs that one now.
            DatasetRuns::follow(d, before);
        });
    });
}

int DocumentStore::addFieldsIfMissing(const QStringList &names, const QStringList &classNames)
{
    QSet<QString> known;
    for (const ReportField &field : document_.fields)
        known.insert(field.name);
    QList<ReportField> added;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        if (known.contains(name))
            continue;
        known.insert(name);
        ReportField field;
        field.name = name;
        const QString className = classNames.value(i);
        field.className = className.isEmpty() ? stringClass : className;
        added.append(field);
    }
    if (added.isEmpty())
        return 0;
    applyDiscreteEdit([&] { changeDocument([&](ReportDocument &d) { d.fields.append(added); }); });
    return int(added.size());
}

int DocumentStore::removeFields(const QStringList &names)
{
    const QSet<QString> doomed(names.cbegin(), names.cend());
    const auto named = [&](const ReportField &field) { return doomed.contains(field.name); };
    if (std::none_of(document_.fields.cbegin(), document_.fields.cend(), named))
        return 0;
    const qsizetype before = document_.fields.size();
    applyDiscreteEdit(
        [&] { changeDocument([&](ReportDocument &d) { d.fields.removeIf(named); }); });
    return int(before - document_.fields.size());
}
