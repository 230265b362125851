#pragma once

#include "ReportDocument.h"

#include <QString>

// A report of parts (a book: its sections hold parts, each a report of its own) has no bands:
// the engine refuses a band anywhere in it, beside its parts or in a section without any. The
// designer keeps its parts as the file wrote them and adds no element, and so no band, to it.
namespace ReportParts {

// Whether the report is made of parts, as its file says (sectionType "Part").
bool isPartReport(const ReportDocument &document);

// Where an element would go into the band `bandLabel` of such a report: the short line the
// palette shows in place of its target, and the whole sentence said when an insert is refused.
QString noElementsCaption(const QString &bandLabel);
QString noElementsMessage(const QString &bandLabel);
// What the height field of the band `bandLabel` of such a report says: it has no band.
QString noBandMessage(const QString &bandLabel);

} // namespace ReportParts
