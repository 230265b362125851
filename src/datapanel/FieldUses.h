#pragma once

#include "model/ReportDocument.h"

#include <QStringList>

// Whether a report still uses its fields, looked for everywhere a field can be named: "$F{name}"
// in any expression of the report as it is written (the elements of every kind at any depth,
// table cells, subreport, list and table parameters, images, hyperlinks, charts and crosstabs
// kept as read, variables, groups, parameter defaults, sub-datasets), and a sort field on a
// field of that name. Read Fields removes only what none of these names.
namespace FieldUses {

// The names among `names` that the report uses, in the order given.
QStringList used(const ReportDocument &document, const QStringList &names);

} // namespace FieldUses
