#include "inspector/InspectorDispatch.h"

#include "document/DocumentStore.h"

InspectorChoice chooseInspector(const DocumentStore &store)
{
    InspectorChoice choice;
    if (store.selectedElementIDs().size() >= 2) {
        choice.kind = InspectorKind::multiSelection;
        choice.selectedCount = store.selectedElementIDs().size();
        return choice;
    }
    if (const std::optional<QUuid> id = store.selectedElementID()) {
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
