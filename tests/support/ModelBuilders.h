#pragma once

#include "model/Identifiers.h"
#include "model/ReportDocument.h"
#include "model/ReportElement.h"

namespace testsupport {

// A new element of the given kind with a fresh id and every other field at its default.
inline ReportElement element(ElementKind kind)
{
    ReportElement e;
    e.id = newId();
    e.kind = std::move(kind);
    return e;
}

// Lays the report out on the page of the bar chart sample: 595 points wide, margins of 20 and
// two columns of 270 with 15 between them.
inline void makeTwoColumns(ReportDocument &document)
{
    document.pageWidth = 595;
    document.leftMargin = 20;
    document.rightMargin = 20;
    document.columnCount = 2;
    document.columnWidth = 270;
    document.columnSpacing = 15;
}

} // namespace testsupport
