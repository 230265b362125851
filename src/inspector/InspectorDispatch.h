#pragma once

#include "document/DocumentStoreTypes.h"
#include "model/ReportElement.h"

#include <optional>

class DocumentStore;
struct ReportDocument;

// The five inspectors the panel chooses from.
enum class InspectorKind { multiSelection, element, dataItem, report, band };

// Which inspector the panel shows for the store's selection, with what it is shown for.
struct InspectorChoice {
    InspectorKind kind = InspectorKind::band;
    // Multi-selection: how many elements are selected.
    qsizetype selectedCount = 0;
    // Element: the selected element as the store holds it.
    std::optional<ReportElement> element;
    // Data item: the selected field or parameter.
    std::optional<InspectorDataSelection> dataItem;
    // Band: the active band.
    BandTarget band = BandTarget::standard(BandType::detail);
};

// The first rule that applies: two or more elements; one element that the report still holds
// (a selected id whose element is gone falls through); a field or parameter; the report; else
// the active band.
InspectorChoice chooseInspector(const DocumentStore &store);

// What the shown inspector's widgets were built for. While it stays equal, the panel updates
// the values in place; when it changes, the inspector is built anew, so that no card writes
// into another element, band or kind than the one it shows.
struct InspectorStructure {
    InspectorKind kind = InspectorKind::band;
    QUuid elementID;
    // The case of the element's kind (its payload's index).
    std::size_t kindCase = 0;
    bool hasStyles = false;
    std::optional<InspectorDataSelection> dataItem;
    std::optional<BandTarget> band;

    bool operator==(const InspectorStructure &) const = default;
};

InspectorStructure inspectorStructure(const InspectorChoice &choice,
                                      const ReportDocument &document);
