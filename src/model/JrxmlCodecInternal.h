#pragma once

// The JRXML reader's and writer's parts, shared by the codec's source files and its tests.

#include "JrxmlReadContext.h"
#include "ReportDocument.h"

#include <QString>
#include <optional>
#include <pugixml.hpp>

namespace JrxmlCodec {

// --- writing ---

// The whole document text (before characters XML cannot carry are left out).
void appendDocument(QString &out, const ReportDocument &document);

// The print-when line of a band at the given indentation; empty without an expression.
QString bandPrintWhenXML(const std::optional<QString> &expression, int indent);

// One element's text, for a frame everything inside it; the text serializeElement returns.
void appendElement(QString &out, const ReportElement &element, const QList<ReportStyle> &styles);

// The element's reportElement block (one line, or three with a print-when expression).
void appendReportElement(QString &out, const ReportElement &element,
                         const QList<ReportStyle> &styles);

// The x, y, width and height attributes, whole numbers.
void appendGeometryAttrs(QString &out, const ReportElement &element);

// `forecolor` and `backcolor` when present, the back colour followed by mode="Opaque".
void appendColorAttrs(QString &out, const std::optional<ElementColor> &foreColor,
                      const std::optional<ElementColor> &backColor);

// The padding attributes of a box, each with its leading space; empty when all are 0.
QString paddingAttrs(const ReportElement &element);

// The line of one box side: `topPen`, `leftPen`, `bottomPen` or `rightPen`.
QString penXML(QLatin1StringView side, const BoxSidePen &pen);

// Charts, crosstabs, other components and generic elements around a regenerated position line;
// false for every other kind.
bool appendPassThrough(QString &out, const ReportElement &element);

// Lists and tables as components; false for every other kind.
bool appendComponent(QString &out, const ReportElement &element, const QList<ReportStyle> &styles);

// The cell attribute and box texts of a table cell.
QString tableCellAttrs(const TableCellFormatting &formatting);
QString tableCellBox(const TableCellFormatting &formatting);

// The data-definition sections, from templates to groups.
void appendDataDefinitions(QString &out, const ReportDocument &document);

// A group's header and footer in band form.
void appendGroupBands(QString &out, const ReportGroup &group, const QList<ReportStyle> &styles);

// --- reading ---

// The options every parse uses: text and character data kept whole (blank text included),
// comments and processing instructions kept for pass-through content. The parser never loads a
// DTD or an external entity and expands no entity of a DTD.
inline constexpr unsigned int parseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_comments | pugi::parse_pi;

// The document below a jasperReport root.
ReportDocument readDocument(pugi::xml_node root, JrxmlReadContext &context);

// The report elements that stand directly inside the node, in document order; the elements of
// element groups are taken in place of the group. Past `limit` elements the rest are noted as
// not kept.
QList<ReportElement> parseBandElements(pugi::xml_node node, JrxmlReadContext &context,
                                       qsizetype limit = -1);

// The kind and payload of an XML element, or no value when it is not a report element.
std::optional<ElementKind> elementKind(pugi::xml_node node, JrxmlReadContext &context);

// The element read from its XML element, whose kind is known.
ReportElement makeElement(pugi::xml_node node, ElementKind kind, const JrxmlReadContext &context);

// The attribute as a number, or no value when it is absent or does not convert.
std::optional<double> doubleAttr(pugi::xml_node node, const char *name);

// The colour an attribute holds, taken as written; no value without the attribute.
std::optional<ElementColor> colorAttr(pugi::xml_node node, const char *name);

// "Center" and "Right" as such; any other text is left.
TextAlignment textAlignmentText(const char *text);

// A box side read from its element; no value without one.
std::optional<BoxSidePen> boxSidePen(pugi::xml_node node);

// A list or table read from its `jr:list` or `jr:table` element.
ElementKind::List readList(pugi::xml_node node, JrxmlReadContext &context);
ElementKind::Table readTable(pugi::xml_node node, JrxmlReadContext &context);

// The attributes of an element as text: ` name="value"` each, values escaped.
QString attributeText(pugi::xml_node node);

// The XML text of a node, standing on its own: prefixes it takes from its ancestors are declared
// on it (the tree is changed for that).
QString capturedXml(pugi::xml_node node, JrxmlReadContext &context);

// The XML text of the element children, one after another, but those whose local name is
// `leftOut`.
QString bodyText(pugi::xml_node node, const char *leftOut, JrxmlReadContext &context);

// The style and box pen of a table cell.
TableCellFormatting tableCellFormatting(pugi::xml_node cell);

// The data-definition sections; the styles are read first and handed to the context.
void readDataDefinitions(pugi::xml_node root, ReportDocument &document, JrxmlReadContext &context);

// A group's header and footer in band form.
void readGroupBands(pugi::xml_node groupNode, ReportGroup &group, JrxmlReadContext &context);

} // namespace JrxmlCodec
