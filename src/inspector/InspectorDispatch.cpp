#include "inspector/InspectorDispatch.h"

#include "document/DocumentStore.h"

InspectorChoice chooseInspector(const DocumentStore &store)
{
    InspectorChoice choice;
    // Only what the document holds counts: an undo may have taken selected elements away.
    const QSet<QUuid> held =
        store.selectedElementIDs().size() >= 2 ? store.heldSelection() : QSet<QUuid>();
    if (held.size() >= 2) {
        choice.kind = InspectorKind::multiSelection;
        choice.selectedCount = held.size();
        return choice;
    }
    std::optional<QUuid> id = store.selectedElementID();
    if (held.size() == 1)
        id = *held.cbegin();
    if (id) {
        if (std::optional<ReportElement> element = store.element(*id)) {
            choice.kind = InspectorKind::element;
            choice.element = std::move(element);
            return choice;
        }
    }
    if (store.selectedDataItem()) {
        choice.kind = InspectorKind::dataItem;
        choice.dataItem = store.selectedDataItem();
        return choice;
    }
    choice.kind = store.isReportRootSelected() ? InspectorKind::report : InspectorKind::band;
    choice.band = store.activeBandTarget();
    return choice;
}

InspectorStructure inspectorStructure(const InspectorChoice &choice, const ReportDocument &document)
{
    InspectorStructure structure;
    structure.kind = choice.kind;
    switch (choice.kind) {
    case InspectorKind::element:
        structure.elementID = choice.element->id;
        structure.kindCase = choice.element->kind.payload.index();
        structure.hasStyles = !document.styles.isEmpty();
        break;
    case InspectorKind::dataItem:
        structure.dataItem = choice.dataItem;
        break;
    case InspectorKind::band:
        structure.band = choice.band;
        break;
    case InspectorKind::multiSelection:
    case InspectorKind::report:
        break;
    }
    return structure;
}
