#pragma once

#include "model/ReportDocument.h"

#include <QSet>
#include <QUuid>

// What the report's styles hand on as the engine fills: a style takes what it does not set from
// its parent style (the report's default style where it names none), an element from the style
// it names (the default style where it names none). After the styles change, what inherits
// shows the values the engine now prints.
namespace StyleHeirs {

// The report's styles as they were (`before`) have changed: each style takes what it inherits
// anew from its parent as the styles now stand, parents before their heirs, and each element
// whose style now gives other values (or another style gives them) takes what it inherits anew;
// so do the elements of `alsoElements` (those that lost the style they named). Values a style
// or an element sets itself stay. True when anything changed.
bool follow(ReportDocument &document, const QList<ReportStyle> &before,
            const QSet<QUuid> &alsoElements = {});

} // namespace StyleHeirs
