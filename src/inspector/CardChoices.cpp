#include "inspector/CardChoices.h"

#include "document/ReportReferences.h"
#include "document/TableGroups.h"
#include "editors/ExpressionScope.h"
#include "inspector/InspectorTexts.h"
#include "inspector/PassedParameters.h"

#include <algorithm>

namespace CardChoices {

bool chooseEvaluationTime(const ElementWriter &writer, const QString &time)
{
    const std::optional<ReportElement> element = writer.current();
    if (!element)
        return false;
    const QStringList groups =
        expressions::groupsOfElement(writer.store()->document(), element->id);
    if (!InspectorTexts::isEvaluationTimeOffered(element->kind, time, element->evaluationTime,
                                                 !groups.isEmpty()))
        return false;
    // The engine refuses "Group" without one of the groups of the element's dataset: the one the
    // row shows.
    const bool needsGroup =
        time == u"Group" && !groups.contains(element->evaluationGroup.value_or(QString()));
    if (element->evaluationTime == time && !needsGroup)
        return false;
    return writer.update([&](ReportElement &e) {
        e.evaluationTime = time;
        if (needsGroup)
            e.evaluationGroup = groups.first();
    });
}

bool chooseEvaluationGroup(const ElementWriter &writer, const QString &group)
{
    // Compared with the stored group, not the shown one: the first group shows while none is
    // stored, and picking it stores it.
    const std::optional<ReportElement> element = writer.current();
    if (!element || element->evaluationGroup == group)
        return false;
    return writer.update([&](ReportElement &e) { e.evaluationGroup = group; });
}

bool chooseListDataset(const ElementWriter &writer, const QString &name)
{
    const std::optional<ReportElement> element = writer.current();
    const auto *list = element ? element->kind.as<ElementKind::List>() : nullptr;
    if (!list || list->datasetName == name)
        return false;
    // The content is evaluated on the new dataset's groups: what was evaluated on a group it
    // lacks goes back as if that group were deleted, in the same step.
    const ReportDocument &document = writer.store()->document();
    const QStringList before = expressions::groupsOfDataset(document, list->datasetName);
    const QStringList after = expressions::groupsOfDataset(document, name);
    QList<SubreportParameter> parameters = list->parameters;
    PassedParameters::keepDeclaredBy(parameters, document, name);
    const bool written = writer.updatePayload<ElementKind::List>([&](ElementKind::List &payload) {
        payload.datasetName = name;
        payload.parameters = parameters;
        ReportReferences::keepGroupsOf(payload.children, before, after);
    });
    // The contents keep their expressions: what the new dataset lacks of them is said.
    if (written)
        writer.store()->tellLackedNamesInside(element->id);
    return written;
}

bool chooseTableDataset(const ElementWriter &writer, const QString &name)
{
    const std::optional<ReportElement> element = writer.current();
    const auto *table = element ? element->kind.as<ElementKind::Table>() : nullptr;
    if (!table)
        return false;
    const ReportDocument &document = writer.store()->document();
    ElementKind::Table switched = *table;
    switched.datasetName = name;
    PassedParameters::keepDeclaredBy(switched.parameters, document, name);
    // The group cells and rows of groups the dataset lacks go, and its cells are evaluated on its
    // groups; a name the report does not declare (one mistyped) leaves them as they are.
    const bool declared =
        std::any_of(document.subDatasets.cbegin(), document.subDatasets.cend(),
                    [&](const ReportSubDataset &dataset) { return dataset.name == name; });
    if (declared) {
        // Whichever dataset the table ran before, what names one of its groups is found.
        QStringList before = expressions::groupsOfDataset(document, QString());
        for (const ReportSubDataset &dataset : document.subDatasets)
            before += expressions::groupsOfDataset(document, dataset.name);
        TableGroups::keepGroupsOf(switched, before, expressions::groupsOfDataset(document, name));
    }
    // The cells keep their expressions: what the dataset lacks of them is said once its name is
    // committed, also where the name was written as it was typed and nothing else changes now.
    const bool written =
        !(switched == *table) && writer.updatePayload<ElementKind::Table>(
                                     [&](ElementKind::Table &payload) { payload = switched; });
    if (declared && writer.acceptsWrites())
        writer.store()->tellLackedNamesInside(element->id);
    return written;
}

} // namespace CardChoices
