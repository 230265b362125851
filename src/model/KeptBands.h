#pragma once

#include "ReportDocument.h"
#include "XmlFragment.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>

// A group's header or footer that holds several bands: the model shows and edits the first and
// keeps the others as the file wrote them, among the kept children of the section ("groupHeader",
// "groupFooter"). What they hold prints as much as the first band does, so what names a group,
// sub-dataset, style, field, parameter or variable there names it too: these read and change it.
namespace KeptBands {

// The height of each band the group's header (or, with `footer`, its footer) keeps, as written.
QList<double> heights(const ReportGroup &group, bool footer);

// The text of each element the groups' sections keep (their bands, a report book's parts), with
// the id of its group and its place ("groupFooter/2"), then of each part the report's detail
// holds, with no group id and its place ("detail/0").
using Visit = std::function<void(const QString &xml, const QUuid &group, const QString &place)>;
void visit(const ReportDocument &document, const Visit &visit);
// The same with the text to change: a group (or the detail) whose texts changed takes them, the
// others are left as they are. True when any text changed.
using Edit = std::function<void(QString &xml, const QUuid &group, const QString &place)>;
bool edit(ReportDocument &document, const Edit &edit);

// The report element of a kept band that holds `element`: itself or the nearest element around
// it that stands directly in a band, a frame, an element group, a list's contents or a table's
// cell (what a crosstab's cells hold is the crosstab's). No value for what no report element
// holds, such as a band's own print-when expression.
std::optional<XmlFragment::Element> elementOf(const XmlFragment::Element &element);
// The element's `reportElement` (a chart's stands inside its `chart`).
std::optional<XmlFragment::Element> reportElementOf(const XmlFragment::Element &element);
// The id of a report element of a kept band at `place`: the one its file gives it (`uuid`),
// else one made of its group and its place, which stays as long as the band's elements do.
QUuid idOf(const XmlFragment::Element &element, const QUuid &group, const QString &place);

// Whether what stands there runs over a sub-dataset or the crosstab's own values, not over the
// report's own dataset: inside a list's contents, a table's columns or a crosstab's cells.
bool isInDatasetContent(const XmlFragment::Element &element);

// The number of report elements of the kept bands for which `counts` is true, at any depth
// inside frames and lists; those in table and crosstab cells are not counted. Only bands whose
// text may hold `mentioned` (XmlFragment::mayHold) are read.
int elementCount(const ReportDocument &document, const QString &mentioned,
                 const std::function<bool(const XmlFragment::Element &)> &counts);

} // namespace KeptBands
