#include "ExpressionScope.h"

#include "document/ReportReferences.h"
#include "model/XmlFragment.h"

#include <algorithm>

namespace {

// Whether `id` stands in `list` or below it; `dataset` is then the name of the innermost list
// around it, left as given when no list of `list` holds it.
bool find(const ElementList &list, const QUuid &id, QString &dataset)
{
    for (const ReportElement &element : list) {
        if (element.id == id)
            return true;
        const ElementList *children = element.kind.children();
        if (!children)
            continue;
        QString inner = dataset;
        if (const auto *listKind = element.kind.as<ElementKind::List>())
            inner = listKind->datasetName;
        if (find(*children, id, inner)) {
            dataset = inner;
            return true;
        }
    }
    return false;
}

// The name of the dataset the element runs in; empty for the report's own.
QString datasetOf(const ReportDocument &document, const QUuid &id)
{
    QString dataset;
    for (const ReportBand &band : document.bands)
        if (find(band.elements, id, dataset))
            return dataset;
    for (const ReportBand &band : document.detailBands)
        if (find(band.elements, id, dataset))
            return dataset;
    for (const ReportGroup &group : document.groups)
        if (find(group.headerElements, id, dataset) || find(group.footerElements, id, dataset))
            return dataset;
    return {};
}

} // namespace

ReportDocument expressions::scopeOfElement(const ReportDocument &document, const QUuid &elementID)
{
    const QString dataset = datasetOf(document, elementID);
    if (dataset.isEmpty())
        return document;
    for (const ReportSubDataset &subDataset : document.subDatasets) {
        if (subDataset.name != dataset)
            continue;
        ReportDocument scope = document;
        scope.parameters = subDataset.parameters;
        scope.fields = subDataset.fields;
        scope.variables = subDataset.variables;
        return scope;
    }
    return document;
}

std::optional<QString> expressions::datasetOfScope(const ReportDocument &scope)
{
    // Declarations carry ids of their own, so a sub-dataset's lists equal the scope's only when
    // the scope was made from it (or when all of them are empty, which tells nothing).
    if (scope.fields.isEmpty() && scope.parameters.isEmpty() && scope.variables.isEmpty())
        return std::nullopt;
    for (const ReportSubDataset &subDataset : scope.subDatasets) {
        if (subDataset.fields == scope.fields && subDataset.parameters == scope.parameters &&
            subDataset.variables == scope.variables)
            return subDataset.name;
    }
    return std::nullopt;
}

QStringList expressions::groupsOfElement(const ReportDocument &document, const QUuid &elementID)
{
    return groupsOfDataset(document, datasetOf(document, elementID));
}

QStringList expressions::groupsOfDataset(const ReportDocument &document, const QString &dataset)
{
    return ReportReferences::groupsOfDataset(document, dataset);
}
