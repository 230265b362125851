#pragma once

#include "model/ReportDocument.h"

#include <QString>
#include <optional>

// Which expressions of the report's own dataset use a field, parameter or variable: those whose
// text holds its reference ("$F{Amount}"). What lists and table cells hold runs over a
// sub-dataset, whose names are its own, and is not looked at; neither are the sub-datasets.
namespace ExpressionUses {

// The number of expressions (and queries) that hold the text: the report's query, parameters'
// defaults, variables, groups, sections' print-when conditions, conditional styles, and the
// elements of the report's own sections with what they keep as the file wrote it (chart and
// crosstab datasets, a list's or table's dataset run).
int count(const ReportDocument &document, const QString &reference);

// The sub-dataset that lacks the field `name` although what a list or table running it holds
// names it ("$F{name}"): of several, the innermost. No value when none does, so that the
// report's own expressions name it.
std::optional<QString> datasetLackingField(const ReportDocument &document, const QString &name);

// The question before a removal: "$F{Amount} is used in 3 expressions.", and with the sort
// fields that name it "$F{Amount} is used in 3 expressions and 1 sort field."
QString message(const QString &reference, int count, int sortFields = 0);

} // namespace ExpressionUses
