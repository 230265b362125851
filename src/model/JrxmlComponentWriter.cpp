// The writer of components and pass-through elements: lists and tables as `jr:list` and
// `jr:table`, or with the prefix the file bound to the components namespace; charts, crosstabs,
// other components and generic elements as their captured XML around a regenerated position line.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

// The start line, the position line, the captured body and the end (on the body's last line).
void appendCaptured(QString &out, const ReportElement &e, const QList<ReportStyle> &styles,
                    QLatin1StringView tag, const QString &attrs, const QString &body)
{
    out += indent(12) + u'<' + tag + attrs + ">\n"_L1;
    appendReportElement(out, e, styles, 16);
    out += body + indent(12) + "</"_L1 + tag + ">\n"_L1;
}

// The dataset run with what the file held of it besides the modelled values. A kept data source
// expression gives way to a connection expression the user set: the format allows one of them.
void appendDatasetRun(QString &out, const QString &datasetName, const QString &connectionExpression,
                      const QList<SubreportParameter> &parameters, const KeptXml &kept = {})
{
    KeptXml shown = kept;
    if (!connectionExpression.isEmpty()) {
        const int dataSource = rankOf(tagOrder::datasetRun, "dataSourceExpression");
        shown.children.removeIf([&](const KeptXml::Child &c) { return c.rank == dataSource; });
    }
    const qsizetype start = openTag(out, 20, "datasetRun"_L1);
    appendAttr(out, "subDataset"_L1, datasetName);
    appendKeptAttributes(out, start, shown);
    out += ">\n"_L1;
    KeptChildWriter keptChildren(shown, tagOrder::datasetRun, 24);
    keptChildren.before(out, "datasetParameter");
    for (const SubreportParameter &p : parameters)
        appendPassedParameter(out, 24, "datasetParameter"_L1, "datasetParameterExpression"_L1, p);
    keptChildren.before(out, "connectionExpression");
    if (!connectionExpression.isEmpty())
        appendCDataLine(out, 24, "connectionExpression"_L1, connectionExpression);
    keptChildren.rest(out);
    out += indent(20) + "</datasetRun>\n"_L1;
}

// The qualified names of a list's or table's parts: the prefix the component keeps, else `jr`.
class PartNames {
public:
    explicit PartNames(const QString &prefix)
        : prefix_(prefix.isEmpty() ? QStringView(u"jr") : QStringView(prefix))
    {
    }
    QStringView prefix() const { return prefix_; }
    QString operator()(QLatin1StringView local) const { return prefix_ + u':' + local; }

private:
    QStringView prefix_;
};

// <componentElement>, the element's reportElement block and the component's start tag, left
// open; where that tag starts.
qsizetype appendComponentStart(QString &out, const ReportElement &e,
                               const QList<ReportStyle> &styles, const PartNames &names,
                               QLatin1StringView component)
{
    out += indent(12);
    const qsizetype elementStart = out.size();
    out += "<componentElement"_L1;
    appendKeptAttributes(out, elementStart, e.kept.part({}));
    out += ">\n"_L1;
    appendReportElement(out, e, styles);
    out += indent(16);
    const qsizetype start = out.size();
    out += u'<' + names(component) + " xmlns:"_L1 + names.prefix() + "=\""_L1 +
           QLatin1StringView(componentsNamespaceUri) + u'"';
    return start;
}

void appendComponentEnd(QString &out, const PartNames &names, QLatin1StringView component)
{
    out += indent(16) + "</"_L1 + names(component) + ">\n"_L1 + indent(12) +
           "</componentElement>\n"_L1;
}

void appendList(QString &out, const ReportElement &e, const ElementKind::List &list,
                const QList<ReportStyle> &styles)
{
    const KeptXml &own = list.kept.part({});
    const PartNames names(list.prefix);
    const qsizetype start = appendComponentStart(out, e, styles, names, "list"_L1);
    if (list.printOrder == PrintOrder::horizontal)
        appendRawAttr(out, "printOrder"_L1, u"Horizontal");
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::list, 20);
    kept.before(out, "datasetRun");
    appendDatasetRun(out, list.datasetName, list.connectionExpression, list.parameters,
                     list.kept.part(u"datasetRun"));
    kept.before(out, "listContents");
    const KeptXml &contents = list.kept.part(u"listContents");
    out += indent(20);
    const qsizetype contentsStart = out.size();
    out += u'<' + names("listContents"_L1);
    appendWholeNumberAttr(out, "height"_L1, e.height);
    appendWholeNumberAttr(out, "width"_L1, e.width);
    appendKeptAttributes(out, contentsStart, contents);
    out += ">\n"_L1;
    appendElements(out, list.children, styles, &contents);
    KeptChildWriter(contents, tagOrder::band, 12).rest(out);
    out += indent(20) + "</"_L1 + names("listContents"_L1) + ">\n"_L1;
    kept.rest(out);
    appendComponentEnd(out, names, "list"_L1);
}

// A cell: its attributes, the kept children that stand before its element, the element, then the
// kept children after it.
void appendCell(QString &out, const QString &tag, double height,
                const SharedOptional<ReportElement> &element, const TableCellFormatting &formatting,
                const QList<ReportStyle> &styles)
{
    const KeptXml &own = formatting.kept.part({});
    out += indent(24);
    const qsizetype start = out.size();
    out += u'<' + tag + tableCellAttrs(formatting);
    appendWholeNumberAttr(out, "height"_L1, height);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::cell, 28);
    kept.before(out, "box");
    out += tableCellBox(formatting);
    kept.through(out, "box");
    if (element)
        appendElement(out, *element, styles);
    kept.rest(out);
    out += indent(24) + "</"_L1 + tag + ">\n"_L1;
}

// The cells stand in the order the format prescribes: header, footer, detail; the column's kept
// children (properties, table and group cells…) in their places around them.
void appendColumn(QString &out, const ReportTableColumn &c, const QList<ReportStyle> &styles,
                  const PartNames &names)
{
    const KeptXml &own = c.kept.part({});
    const QString column = names("column"_L1);
    out += indent(20);
    const qsizetype start = out.size();
    out += u'<' + column;
    appendWholeNumberAttr(out, "width"_L1, c.width);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::column, 24);
    kept.before(out, "columnHeader");
    if (c.holds(ReportTableColumn::Cell::header))
        appendCell(out, names("columnHeader"_L1), c.columnHeaderHeight, c.columnHeaderElement,
                   c.columnHeaderFormatting, styles);
    kept.before(out, "columnFooter");
    if (c.holds(ReportTableColumn::Cell::footer))
        appendCell(out, names("columnFooter"_L1), c.columnFooterHeight, c.columnFooterElement,
                   c.columnFooterFormatting, styles);
    kept.before(out, "detailCell");
    appendCell(out, names("detailCell"_L1), c.detailCellHeight, c.detailCellElement,
               c.detailCellFormatting, styles);
    kept.rest(out);
    out += indent(20) + "</"_L1 + column + ">\n"_L1;
}

// The columns, each kept column group before the column it stood before; the groups whose column
// is gone, and those that stood last, after the last column.
void appendColumns(QString &out, const ElementKind::Table &table, const QList<ReportStyle> &styles,
                   const PartNames &names)
{
    using Group = ElementKind::Table::KeptColumnGroup;
    const auto appendGroup = [&](const Group &group) { out += indent(20) + group.xml + u'\n'; };
    for (const ReportTableColumn &column : table.columns) {
        for (const Group &group : table.keptColumnGroups) {
            if (group.beforeColumn == column.id)
                appendGroup(group);
        }
        appendColumn(out, column, styles, names);
    }
    for (const Group &group : table.keptColumnGroups) {
        const bool placed =
            group.beforeColumn && std::any_of(table.columns.begin(), table.columns.end(),
                                              [&](const ReportTableColumn &column) {
                                                  return column.id == *group.beforeColumn;
                                              });
        if (!placed)
            appendGroup(group);
    }
}

void appendTable(QString &out, const ReportElement &e, const ElementKind::Table &table,
                 const QList<ReportStyle> &styles)
{
    const KeptXml &own = table.kept.part({});
    const PartNames names(table.prefix);
    const qsizetype start = appendComponentStart(out, e, styles, names, "table"_L1);
    if (e.tableWhenNoDataType)
        appendRawAttr(out, "whenNoDataType"_L1, rawValue(*e.tableWhenNoDataType));
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::table, 20);
    kept.before(out, "datasetRun");
    appendDatasetRun(out, table.datasetName, table.connectionExpression, table.parameters,
                     table.kept.part(u"datasetRun"));
    kept.through(out, "column");
    appendColumns(out, table, styles, names);
    kept.rest(out);
    appendComponentEnd(out, names, "table"_L1);
}

} // namespace

bool appendPassThrough(QString &out, const ReportElement &e, const QList<ReportStyle> &styles)
{
    if (const auto *chart = e.kind.as<ElementKind::Chart>()) {
        out += indent(12) + u'<' + chart->tag + ">\n"_L1;
        out += indent(16) + "<chart"_L1 + chart->chartAttrs + ">\n"_L1;
        appendReportElement(out, e, styles, 20);
        out += chart->chartBodyXML + indent(16) + "</chart>\n"_L1;
        out += chart->siblingXML + indent(12) + "</"_L1 + chart->tag + ">\n"_L1;
        return true;
    }
    if (const auto *crosstab = e.kind.as<ElementKind::Crosstab>()) {
        appendCaptured(out, e, styles, "crosstab"_L1, crosstab->crosstabAttrs, crosstab->bodyXML);
        return true;
    }
    if (const auto *component = e.kind.as<ElementKind::ComponentPlaceholder>()) {
        appendCaptured(out, e, styles, "componentElement"_L1, QString(),
                       component->componentXML + u'\n');
        return true;
    }
    if (const auto *generic = e.kind.as<ElementKind::GenericElement>()) {
        appendCaptured(out, e, styles, "genericElement"_L1, generic->elementAttrs,
                       generic->bodyXML);
        return true;
    }
    return false;
}

bool appendComponent(QString &out, const ReportElement &e, const QList<ReportStyle> &styles)
{
    if (const auto *list = e.kind.as<ElementKind::List>()) {
        appendList(out, e, *list, styles);
        return true;
    }
    if (const auto *table = e.kind.as<ElementKind::Table>()) {
        appendTable(out, e, *table, styles);
        return true;
    }
    return false;
}

QString tableCellAttrs(const TableCellFormatting &formatting)
{
    QString text;
    if (!isAbsentOrEmpty(formatting.styleName))
        appendAttr(text, "style"_L1, *formatting.styleName);
    return text;
}

QString tableCellBox(const TableCellFormatting &formatting)
{
    const KeptXml &box = formatting.kept.part(u"box");
    QString pens;
    KeptChildWriter kept(box, tagOrder::box, 32);
    kept.before(pens, "topPen");
    for (int i = 0; i < 4; ++i) {
        const QLatin1StringView side = boxPenTags[i];
        QString line = indent(32);
        const qsizetype start = line.size();
        line += u'<' + side;
        if (formatting.boxPenWidth) {
            appendRawAttr(line, "lineWidth"_L1, decimalNumber(*formatting.boxPenWidth));
            if (formatting.boxPenColor)
                appendAttr(line, "lineColor"_L1, formatting.boxPenColor->hex);
        }
        appendKeptAttributes(line, start, formatting.kept.part(boxPenParts[i]));
        // A side the file did not have, or that holds nothing, is left out.
        if (line.size() > start + 1 + side.size())
            pens += line + "/>\n"_L1;
    }
    kept.rest(pens);
    if (pens.isEmpty() && box.attributes.isEmpty())
        return {};
    QString text = indent(28);
    const qsizetype start = text.size();
    text += "<box"_L1;
    appendKeptAttributes(text, start, box);
    if (pens.isEmpty())
        return text + "/>\n"_L1;
    return text + ">\n"_L1 + pens + indent(28) + "</box>\n"_L1;
}

} // namespace JrxmlCodec
