#pragma once

#include "model/ReportDocument.h"

#include <QString>

// The values the designer reads from a report, in the lines the engine's `read-values` command
// prints for the same file (`place TAB name TAB value`): the page, each band's height and split
// type, each element's kind, position, size, colours, mode, font, alignment, line and box pens,
// and the data definitions' names and classes. A value the model leaves unset is printed as what
// the designer shows for it (no fore colour: black; no box side: none).
namespace modelvalues {

QString describe(const ReportDocument &document);

} // namespace modelvalues
