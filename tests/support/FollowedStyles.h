#pragma once

#include "model/ReportDocument.h"

#include <QStringList>

// What a change of the report's styles may do to the rest of it: a style edit changes only the
// styles. The file saved after it holds every attribute of every element (and everything else
// outside the styles) as the file saved before did, and what the designer then holds of each
// element (colours, pens, alignment, font) is what a fresh read of that file gives, wherever it
// was so before the edit.
namespace FollowedStyles {

// Where the change from `before` to `after` breaks that, one line each.
QStringList lapses(const ReportDocument &before, const ReportDocument &after);

} // namespace FollowedStyles
