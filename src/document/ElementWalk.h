#pragma once

#include "model/ReportDocument.h"

#include <functional>
#include <optional>

// Where an element stands: in the report's own sections (its expressions, groups and
// evaluation times are the report's), or inside a list or a table cell, whose content runs over
// a sub-dataset.
enum class ElementScope { report, dataset };

// A walk over every element of a report, for edits that may reach any of them. Unlike the
// store's own walks it also enters table cells, and it tells each element's scope.
namespace ElementWalk {

// What an edit makes of one element (its own values; what it holds is walked apart): no value
// leaves it as it is, a value holding no element removes it, a value holding an element
// replaces it (and what the replacement holds is walked).
using Outcome = std::optional<std::optional<ReportElement>>;
using Edit = std::function<Outcome(const ReportElement &element, ElementScope scope)>;

// Runs `edit` on every element of the bands, the detail bands and the groups' headers and
// footers, at any depth: inside frames in the same scope, inside lists and table cells in the
// dataset scope. Only what changed is copied and written back. True when anything changed.
bool editDocument(ReportDocument &document, const Edit &edit);
bool editList(ElementList &list, ElementScope scope, const Edit &edit);

// Shows every element to `visit`, as editDocument() walks them.
void visitDocument(const ReportDocument &document,
                   const std::function<void(const ReportElement &, ElementScope)> &visit);

// The same walk, telling for each element the dataset it is evaluated over: no value in the
// report's own sections, the name of the sub-dataset that the nearest list or table around it
// runs inside them.
using DatasetVisit =
    std::function<void(const ReportElement &, const std::optional<QString> &dataset)>;
void visitDatasets(const ReportDocument &document, const DatasetVisit &visit);

} // namespace ElementWalk
