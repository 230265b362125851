// The reader's dispatch: which XML elements are report elements, of which kind.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <QSet>
#include <algorithm>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

ElementKind::Subreport readSubreport(pugi::xml_node node, JrxmlReadContext &context)
{
    ElementKind::Subreport subreport;
    subreport.expression = childTextOrEmpty(node, "subreportExpression");
    subreport.connectionExpression = childText(node, "connectionExpression");
    subreport.dataSourceExpression = childText(node, "dataSourceExpression");
    for (pugi::xml_node p : childrenNamed(node, "subreportParameter"))
        subreport.parameters.append(
            readPassedParameter(p, "subreportParameterExpression", context));
    return subreport;
}

// Children of element containers that are parts of the container, not report elements.
bool isContainerPart(const char *name)
{
    return is(name, "reportElement") || is(name, "box") || is(name, "printWhenExpression");
}

void appendBandElements(pugi::xml_node node, JrxmlReadContext &context, ElementList &elements,
                        qsizetype limit, UnreadChildren *unread,
                        const QList<ElementGroupLevel> &groups);

// The elements of an element group, each noting the group. A group without elements is no
// element to the model: it goes to `unread` (kept as written with its container).
void appendGroupElements(pugi::xml_node group, JrxmlReadContext &context, ElementList &elements,
                         qsizetype limit, UnreadChildren *unread, QList<ElementGroupLevel> &groups)
{
    const qsizetype first = elements.size();
    UnreadChildren groupUnread;
    {
        const JrxmlNesting nesting(context);
        appendBandElements(group, context, elements, limit, &groupUnread, groups);
    }
    if (elements.size() == first) {
        if (unread)
            unread->push_back({group, first});
        else
            context.dropped(group.name());
        return;
    }
    static constexpr const char *none[] = {"-"};
    const KeptXml kept = keptOf(
        group, none, none,
        [&](pugi::xml_node child) {
            return std::find(groupUnread.begin(), groupUnread.end(), child) == groupUnread.end();
        },
        context);
    const qsizetype level = groups.size() - 1;
    for (qsizetype i = first; i < elements.size(); ++i)
        elements[i].elementGroups[level].kept = kept;
}

void appendBandElements(pugi::xml_node node, JrxmlReadContext &context, ElementList &elements,
                        qsizetype limit, UnreadChildren *unread,
                        const QList<ElementGroupLevel> &groups)
{
    if (context.depth > JrxmlReadContext::maxNesting) {
        context.note(QStringLiteral("Elements nested more than %1 levels deep were not kept")
                         .arg(JrxmlReadContext::maxNesting));
        return;
    }
    int groupCount = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const char *name = localName(child.name());
        if (isContainerPart(name))
            continue;
        if (limit >= 0 && elements.size() >= limit) {
            context.dropped(child.name());
        } else if (is(name, "elementGroup")) {
            QList<ElementGroupLevel> inner = groups;
            inner.append(ElementGroupLevel{groupCount + 1, {}});
            const qsizetype before = elements.size();
            appendGroupElements(child, context, elements, limit, unread, inner);
            if (elements.size() > before)
                ++groupCount;
        } else if (std::optional<ElementKind> kind = elementKind(child, context)) {
            elements.appendMade([&] { return makeElement(child, std::move(*kind), context); })
                .elementGroups = groups;
        } else if (unread) {
            unread->push_back({child, elements.size()});
        } else {
            context.dropped(child.name());
        }
    }
}

const QSet<QByteArray> &chartTagNames()
{
    static const QSet<QByteArray> names = {
        "areaChart",         "bar3DChart",      "barChart",         "bubbleChart",
        "candlestickChart",  "highLowChart",    "lineChart",        "meterChart",
        "multiAxisChart",    "pie3DChart",      "pieChart",         "scatterChart",
        "stackedBar3DChart", "stackedBarChart", "timeSeriesChart",  "xyAreaChart",
        "xyBarChart",        "xyLineChart",     "thermometerChart", "ganttChart",
        "stackedAreaChart"};
    return names;
}

// A list, a table, another component, or nothing usable.
std::optional<ElementKind> readComponentElement(pugi::xml_node node, JrxmlReadContext &context)
{
    // Known by the namespace their prefix is bound to, whatever the prefix.
    if (const pugi::xml_node list = componentChild(node, "list"))
        return readList(list, context);
    if (const pugi::xml_node table = componentChild(node, "table"))
        return readTable(table, context);
    std::optional<ElementKind> kind;
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element || hasLocalName(child, "reportElement"))
            continue;
        if (kind) {
            context.dropped(child.name()); // one component per element
            continue;
        }
        QString tag = QString::fromUtf8(child.name());
        if (tag.isEmpty())
            tag = QStringLiteral("unknown");
        kind = ElementKind::ComponentPlaceholder{tag, capturedXml(child, context)};
    }
    return kind;
}

ElementKind::Chart readChart(pugi::xml_node node, const char *tag, JrxmlReadContext &context)
{
    const pugi::xml_node chart = childNamed(node, "chart");
    return ElementKind::Chart{QString::fromUtf8(tag), attributeText(chart),
                              bodyText(chart, "reportElement", context),
                              bodyText(node, "chart", context)};
}

} // namespace

SubreportParameter readPassedParameter(pugi::xml_node node, const char *expressionTag,
                                       JrxmlReadContext &context)
{
    static constexpr const char *nameAttr[] = {"name"};
    const char *const expression[] = {expressionTag};
    SubreportParameter parameter{newId(), attrTextOr(node, "name", {}),
                                 childTextOrEmpty(node, expressionTag)};
    parameter.kept = keptOf(node, nameAttr, expression, expression, {}, context);
    if (!childNamed(node, expressionTag))
        parameter.kept.absentChildren.append(QString::fromLatin1(expressionTag));
    return parameter;
}

ElementList parseBandElements(pugi::xml_node node, JrxmlReadContext &context, qsizetype limit,
                              UnreadChildren *unread)
{
    ElementList elements;
    appendBandElements(node, context, elements, limit, unread, {});
    return elements;
}

std::optional<ElementKind> elementKind(pugi::xml_node node, JrxmlReadContext &context)
{
    const char *name = localName(node.name());
    if (!*name)
        return std::nullopt;
    if (is(name, "staticText"))
        return ElementKind::StaticText{childTextOrEmpty(node, "text")};
    if (is(name, "textField"))
        return ElementKind::TextField{childTextOrEmpty(node, "textFieldExpression")};
    if (is(name, "rectangle"))
        return ElementKind::Rectangle{};
    if (is(name, "ellipse"))
        return ElementKind::Ellipse{};
    if (is(name, "line"))
        return ElementKind::Line{};
    if (is(name, "image"))
        return ElementKind::Image{childTextOrEmpty(node, "imageExpression")};
    if (is(name, "subreport"))
        return readSubreport(node, context);
    if (is(name, "frame")) {
        // Children it does not know the frame keeps (makeElement).
        const JrxmlNesting nesting(context);
        UnreadChildren unread;
        ElementKind::Frame frame{parseBandElements(node, context, -1, &unread)};
        for (const UnreadChild &child : unread)
            context.markUnread(child.node, child.elementsBefore);
        return frame;
    }
    if (is(name, "componentElement"))
        return readComponentElement(node, context);
    if (is(name, "break")) {
        return ElementKind::ReportBreak{
            is(attribute(node, "type").value(), "Column") ? BreakType::column : BreakType::page};
    }
    if (chartTagNames().contains(QByteArray::fromRawData(name, qsizetype(std::strlen(name)))))
        return readChart(node, name, context);
    if (is(name, "crosstab"))
        return ElementKind::Crosstab{attributeText(node), bodyText(node, "reportElement", context)};
    if (is(name, "genericElement")) {
        return ElementKind::GenericElement{attributeText(node),
                                           bodyText(node, "reportElement", context)};
    }
    return std::nullopt;
}

} // namespace JrxmlCodec
