#pragma once

#include "model/ReportDocument.h"

#include <QStringList>
#include <optional>

// Which declarations the expressions of one element are checked, completed and tested against.
namespace expressions {

// The report as the expressions of the element `elementID` see it. An element inside a list, at
// any depth and also inside a frame of the list, runs in the dataset the innermost list names:
// its fields, parameters and variables are that dataset's. Every other element, and one whose
// list names no dataset of the report, sees the report's own declarations. All else (groups,
// styles, language) is the report's.
ReportDocument scopeOfElement(const ReportDocument &document, const QUuid &elementID);

// The name of the sub-dataset whose declarations `scope` (made by scopeOfElement) holds in place
// of the report's own, or nothing when it holds the report's.
std::optional<QString> datasetOfScope(const ReportDocument &scope);

// The names of the groups the element `elementID` may be evaluated on: those of the dataset it
// runs in (inside a list, the groups of the dataset the innermost list names, as the file
// declares them; otherwise the report's own).
QStringList groupsOfElement(const ReportDocument &document, const QUuid &elementID);

// The groups of the dataset of that name, as groupsOfElement gives them; the report's own for an
// empty name or one the report does not declare.
QStringList groupsOfDataset(const ReportDocument &document, const QString &dataset);

} // namespace expressions
