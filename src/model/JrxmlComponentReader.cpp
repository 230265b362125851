// The reader of components and pass-through elements: lists and tables become editable kinds;
// charts, crosstabs, other components and generic elements are captured as XML text.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

// The prefix of a qualified name ("" without one).
std::string_view prefixOf(const char *qualifiedName)
{
    const char *colon = std::strchr(qualifiedName, ':');
    return colon ? std::string_view(qualifiedName, size_t(colon - qualifiedName))
                 : std::string_view();
}

// The prefix a namespace declaration binds ("xmlns:p" gives "p"), or no value.
std::optional<std::string_view> declaredPrefix(const char *attributeName)
{
    if (std::strncmp(attributeName, "xmlns:", 6) != 0)
        return std::nullopt;
    return std::string_view(attributeName + 6);
}

bool isControlCharacter(unsigned char byte)
{
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// Removes the control characters that XML 1.0 cannot carry; counts them.
void stripControlCharacters(pugi::xml_node node, pugi::xml_attribute attr, int &removed)
{
    const char *value = attr ? attr.value() : node.value();
    const char *c = value;
    while (*c && !isControlCharacter(static_cast<unsigned char>(*c)))
        ++c;
    if (!*c)
        return; // the common case: nothing to remove
    std::string kept(value, c);
    for (; *c; ++c) {
        if (isControlCharacter(static_cast<unsigned char>(*c)))
            ++removed;
        else
            kept += *c;
    }
    if (attr)
        attr.set_value(kept.c_str());
    else
        node.set_value(kept.c_str());
}

// The parser leaves the line ends of a processing instruction as written; XML reads each as a
// line feed, and so it is held: the captured text writes a carriage return as a reference.
void readLineEnds(pugi::xml_node pi)
{
    const char *value = pi.value();
    if (!std::strchr(value, '\r'))
        return;
    std::string read;
    for (const char *c = value; *c; ++c) {
        if (*c != '\r')
            read += *c;
        else if (c[1] != '\n')
            read += '\n';
    }
    pi.set_value(read.c_str());
}

// Whether the writer declares the prefix around the captured content itself: inside a table, the
// table's prefix bound to the components namespace.
bool isDeclaredByTable(const JrxmlReadContext &context, std::string_view prefix, const char *uri)
{
    return !context.tablePrefix.empty() && prefix == context.tablePrefix &&
           is(uri, componentsNamespaceUri);
}

// Makes the subtree stand on its own before it is printed: a prefix it uses but declares only
// on an ancestor gets its declaration on the subtree's root, and characters XML cannot carry
// are removed. The walk does not recurse, so no depth of nesting exhausts the stack.
void prepareForCapture(pugi::xml_node root, JrxmlReadContext &context)
{
    // The prefixes name the tree's own text, which the walk does not change. The lists keep their
    // room from one capture to the next.
    thread_local std::vector<std::string_view> declared; // declared inside, innermost last
    thread_local std::vector<size_t> marks; // `declared` size on entering each open element
    thread_local std::vector<std::string_view> needed;
    declared.clear();
    marks.clear();
    needed.clear();
    int removed = 0;
    const auto use = [&](std::string_view prefix) {
        if (prefix.empty() || prefix == "xml" || prefix == "xmlns")
            return;
        for (const std::string_view p : declared) {
            if (p == prefix)
                return;
        }
        for (const std::string_view p : needed) {
            if (p == prefix)
                return;
        }
        needed.push_back(prefix);
    };

    walkTree(
        root,
        [&](pugi::xml_node node) {
            if (node.type() != pugi::node_element) {
                if (!context.onlyXmlCharacters)
                    stripControlCharacters(node, {}, removed);
                if (node.type() == pugi::node_pi)
                    readLineEnds(node);
                return;
            }
            marks.push_back(declared.size());
            for (pugi::xml_attribute attr : node.attributes()) {
                if (const std::optional<std::string_view> prefix = declaredPrefix(attr.name()))
                    declared.push_back(*prefix);
                if (!context.onlyXmlCharacters)
                    stripControlCharacters(node, attr, removed);
            }
            use(prefixOf(node.name()));
            for (pugi::xml_attribute attr : node.attributes())
                use(prefixOf(attr.name()));
        },
        [&](pugi::xml_node) {
            declared.resize(marks.back());
            marks.pop_back();
        });

    for (const std::string_view prefix : needed) {
        const std::string name = "xmlns:" + std::string(prefix);
        for (pugi::xml_node up = root.parent(); up; up = up.parent()) {
            if (const pugi::xml_attribute declaration = up.attribute(name.c_str())) {
                if (!isDeclaredByTable(context, prefix, declaration.value())) {
                    root.append_attribute(name.c_str()).set_value(declaration.value());
                    attributesChanged();
                }
                break;
            }
        }
    }
    if (removed > 0)
        context.note(u"Characters that XML cannot carry were left out of captured content"_s);
}

// The format's order of the children of a table, of a column and of a dataset run.
constexpr const char *tableTags[] = {"datasetRun",   "columnGroup", "column", "tableHeader",
                                     "columnHeader", "groupHeader", "detail", "groupFooter",
                                     "columnFooter", "tableFooter", "noData"};
constexpr const char *columnTags[] = {
    "property",    "propertyExpression", "printWhenExpression", "tableHeader",  "tableFooter",
    "groupHeader", "groupFooter",        "columnHeader",        "columnFooter", "detailCell"};
constexpr const char *datasetRunTags[] = {"property",
                                          "parametersMapExpression",
                                          "datasetParameter",
                                          "connectionExpression",
                                          "dataSourceExpression",
                                          "returnValue"};
constexpr const char *listTags[] = {"datasetRun", "listContents"};
constexpr const char *widthAttr[] = {"width"};
constexpr const char *subDatasetAttr[] = {"subDataset"};
constexpr const char *connectionTag[] = {"connectionExpression"};
constexpr const char *datasetParameterTag[] = {"datasetParameter"};

// The prefix the model holds: none for `jr`, the one the writer uses when it has none.
QString prefixText(const ComponentTags &tags)
{
    return tags.prefix == "jr" ? QString() : QString::fromStdString(tags.prefix);
}

// The dataset run of a list or table; what the model does not hold of it goes to `kept` when
// given.
void readDatasetRun(pugi::xml_node run, QString &datasetName, QString &connectionExpression,
                    QList<SubreportParameter> &parameters, JrxmlReadContext &context,
                    KeptXml *kept = nullptr)
{
    datasetName = attrTextOr(run, "subDataset", {});
    connectionExpression = childTextOrEmpty(run, "connectionExpression");
    for (pugi::xml_node p : childrenNamed(run, "datasetParameter"))
        parameters.append(readPassedParameter(p, "datasetParameterExpression", context));
    if (kept)
        *kept = keptOf(run, subDatasetAttr, tagOrder::datasetRun, connectionTag,
                       datasetParameterTag, context);
}

// Whether the cell child is the part of the cell that its formatting is read from.
bool isCellBox(pugi::xml_node child)
{
    return is(localName(child.name()), "box") && isFirstOfName(child);
}

// One table cell: its height, its first report element and its formatting. Everything else the
// cell holds (further elements, element groups, properties…) is kept in its place around that
// element.
void readCell(pugi::xml_node cell, double &height, SharedOptional<ReportElement> &element,
              TableCellFormatting &formatting, JrxmlReadContext &context)
{
    height = 20;
    if (!cell)
        return;
    height = lengthAttr(cell, "height", 20, context);
    formatting = tableCellFormatting(cell);
    const JrxmlNesting nesting(context);
    if (context.depth > JrxmlReadContext::maxNesting) {
        parseBandElements(cell, context); // notes that what stands this deep is not kept
        return;
    }
    std::vector<pugi::xml_node> unread;
    qsizetype keptBefore = 0; // kept children that stand before the element
    for (pugi::xml_node child : cell.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (!element) {
            if (std::optional<ElementKind> kind = elementKind(child, context)) {
                element = makeElement(child, std::move(*kind), context);
                continue;
            }
            if (!isCellBox(child))
                ++keptBefore;
        }
        unread.push_back(child);
    }
    readCellKept(formatting, cell, unread, context);
    KeptXml own = formatting.kept.part({});
    for (qsizetype i = keptBefore; i < own.children.size(); ++i)
        own.children[i].rank = cellRankAfterElement;
    formatting.kept.setPart({}, std::move(own));
}

// A header or footer cell the file held is written again even when it holds nothing the model
// shows, as its height counts in the table's layout: its height, kept too, marks it as held (the
// writer's own height attribute wins over the kept one).
void markHeldCell(pugi::xml_node cell, const SharedOptional<ReportElement> &element,
                  TableCellFormatting &formatting)
{
    if (!cell || element || formatting != TableCellFormatting{})
        return;
    KeptXml own;
    own.attributes.append({u"height"_s, QString::fromUtf8(attribute(cell, "height").value())});
    formatting.kept.setPart({}, std::move(own));
}

ReportTableColumn readColumn(pugi::xml_node node, const ComponentTags &tags,
                             JrxmlReadContext &context)
{
    ReportTableColumn c;
    c.id = newId();
    c.width = lengthAttr(node, "width", 100, context);
    const pugi::xml_node header = childNamed(node, tags.name("columnHeader"));
    const pugi::xml_node detail = childNamed(node, tags.name("detailCell"));
    const pugi::xml_node footer = childNamed(node, tags.name("columnFooter"));
    readCell(header, c.columnHeaderHeight, c.columnHeaderElement, c.columnHeaderFormatting,
             context);
    readCell(detail, c.detailCellHeight, c.detailCellElement, c.detailCellFormatting, context);
    readCell(footer, c.columnFooterHeight, c.columnFooterElement, c.columnFooterFormatting,
             context);
    markHeldCell(header, c.columnHeaderElement, c.columnHeaderFormatting);
    markHeldCell(footer, c.columnFooterElement, c.columnFooterFormatting);
    c.kept.setPart({}, keptOf(
                           node, widthAttr, tagOrder::column,
                           [&](pugi::xml_node child) {
                               return child == header || child == detail || child == footer;
                           },
                           context));
    return c;
}

} // namespace

std::optional<std::string_view> componentName(pugi::xml_node node)
{
    const char *name = node.name();
    const char *colon = std::strchr(name, ':');
    if (!colon)
        return std::nullopt;
    const std::string declaration = "xmlns:" + std::string(name, size_t(colon - name));
    for (pugi::xml_node up = node; up; up = up.parent()) {
        if (const pugi::xml_attribute bound = up.attribute(declaration.c_str())) {
            if (!is(bound.value(), componentsNamespaceUri))
                return std::nullopt;
            return std::string_view(colon + 1);
        }
    }
    return std::nullopt;
}

pugi::xml_node componentChild(pugi::xml_node componentElement, std::string_view local)
{
    for (pugi::xml_node child : componentElement.children()) {
        if (child.type() == pugi::node_element && componentName(child) == local)
            return child;
    }
    return {};
}

ComponentTags::ComponentTags(const char *qualifiedName)
{
    const char *colon = std::strchr(qualifiedName, ':');
    prefix = colon ? std::string(qualifiedName, size_t(colon - qualifiedName)) : std::string("jr");
}

const char *ComponentTags::name(const char *localName) const
{
    qualified_ = prefix + ':' + localName;
    return qualified_.c_str();
}

bool ComponentTags::is(pugi::xml_node node, const char *localName) const
{
    const char *name = node.name();
    return std::strncmp(name, prefix.data(), prefix.size()) == 0 && name[prefix.size()] == ':' &&
           std::strcmp(name + prefix.size() + 1, localName) == 0;
}

namespace tagOrder {
const TagOrder list = listTags;
const TagOrder table = tableTags;
const TagOrder column = columnTags;
const TagOrder datasetRun = datasetRunTags;
} // namespace tagOrder

QString attributeText(pugi::xml_node node)
{
    QString text;
    // Names are UTF-8 like values: a name outside ASCII comes back as it was.
    for (pugi::xml_attribute attr : node.attributes()) {
        text += u' ' + QString::fromUtf8(attr.name()) + "=\""_L1;
        appendEscaped(text, QString::fromUtf8(attr.value()));
        text += u'"';
    }
    return text;
}

QString capturedXml(pugi::xml_node node, JrxmlReadContext &context)
{
    prepareForCapture(node, context);
    return QString::fromStdString(printedXml(node));
}

QString bodyText(pugi::xml_node node, const char *leftOut, JrxmlReadContext &context)
{
    QString text;
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element && !hasLocalName(child, leftOut))
            text += capturedXml(child, context);
        // A comment among them stays among them.
        else if (child.type() == pugi::node_comment)
            text += u"<!--"_s + QString::fromUtf8(child.value()) + u"-->"_s;
    }
    return text;
}

// What the list contents hold besides the list's elements. Their size is written from the
// element's; one the file gave otherwise (a cell height of its own), or left out, stays so while
// the element keeps its size.
KeptXml keptListContents(pugi::xml_node contents, const UnreadChildren &unread,
                         JrxmlReadContext &context)
{
    const pugi::xml_node re = childNamed(contents.parent().parent(), "reportElement");
    const QString height = wholeNumber(lengthAttr(re, "height", 20, context));
    const QString width = wholeNumber(lengthAttr(re, "width", 100, context));
    const auto isWritten = [&](const char *name, const QString &text) {
        const pugi::xml_attribute attr = attribute(contents, name);
        return attr && QString::fromUtf8(attr.value()) == text;
    };
    const bool sameHeight = isWritten("height", height), sameWidth = isWritten("width", width);
    const char *const taken[] = {sameHeight ? "height" : "-", sameWidth ? "width" : "-"};
    KeptXml kept = keptOf(
        contents, taken, tagOrder::band,
        [&](pugi::xml_node child) {
            return std::find(unread.begin(), unread.end(), child) == unread.end();
        },
        context, placeAmong(unread));
    if (!sameHeight)
        kept.absent.append({u"height"_s, height});
    if (!sameWidth)
        kept.absent.append({u"width"_s, width});
    return kept;
}

ElementKind::List readList(pugi::xml_node node, JrxmlReadContext &context)
{
    const ComponentTags tags(node.name());
    ElementKind::List list;
    list.prefix = prefixText(tags);
    const bool horizontal = is(attribute(node, "printOrder").value(), "Horizontal");
    list.printOrder = horizontal ? PrintOrder::horizontal : PrintOrder::vertical;
    const pugi::xml_node run = childNamed(node, "datasetRun");
    KeptXml runKept;
    readDatasetRun(run, list.datasetName, list.connectionExpression, list.parameters, context,
                   &runKept);
    list.kept.setPart(u"datasetRun"_s, std::move(runKept));
    const pugi::xml_node contents = childNamed(node, tags.name("listContents"));
    if (contents) {
        const JrxmlNesting nesting(context);
        // The children of a list can be copied out of it: their content must stand on its own.
        const std::string wasInsideTable = std::exchange(context.tablePrefix, {});
        UnreadChildren unread;
        list.children = parseBandElements(contents, context, -1, &unread);
        context.tablePrefix = wasInsideTable;
        list.kept.setPart(u"listContents"_s, keptListContents(contents, unread, context));
    }
    // A spelled-out "Vertical" (the model's default) is kept as written.
    const std::string declaration = "xmlns:" + tags.prefix;
    const char *const taken[] = {declaration.c_str(), horizontal ? "printOrder" : "-"};
    list.kept.setPart(
        {}, keptOf(
                node, taken, tagOrder::list,
                [&](pugi::xml_node child) { return child == run || child == contents; }, context));
    return list;
}

ElementKind::Table readTable(pugi::xml_node node, JrxmlReadContext &context)
{
    const ComponentTags tags(node.name());
    ElementKind::Table table;
    table.prefix = prefixText(tags);
    const std::string wasInsideTable = std::exchange(context.tablePrefix, tags.prefix);
    const pugi::xml_node run = childNamed(node, "datasetRun");
    KeptXml runKept;
    readDatasetRun(run, table.datasetName, table.connectionExpression, table.parameters, context,
                   &runKept);
    table.kept.setPart(u"datasetRun"_s, std::move(runKept));
    // Column groups stand before the column that follows them, or after the last column.
    qsizetype groupsWaiting = 0;
    for (pugi::xml_node child : node.children()) {
        if (tags.is(child, "columnGroup")) {
            table.keptColumnGroups.append({std::nullopt, capturedXml(child, context)});
            ++groupsWaiting;
        } else if (tags.is(child, "column")) {
            table.columns.append(readColumn(child, tags, context));
            for (qsizetype i = table.keptColumnGroups.size() - groupsWaiting;
                 i < table.keptColumnGroups.size(); ++i)
                table.keptColumnGroups[i].beforeColumn = table.columns.last().id;
            groupsWaiting = 0;
        }
    }
    // The when-no-data type is the element's; one the model has no value for is kept.
    const bool modelledWhenNoData = enumAttr<WhenNoDataType>(node, "whenNoDataType").has_value();
    const std::string declaration = "xmlns:" + tags.prefix;
    const char *const taken[] = {declaration.c_str(), modelledWhenNoData ? "whenNoDataType" : "-"};
    table.kept.setPart({}, keptOf(
                               node, taken, tagOrder::table,
                               [&](pugi::xml_node child) {
                                   return child == run || tags.is(child, "column") ||
                                          tags.is(child, "columnGroup");
                               },
                               context));
    context.tablePrefix = wasInsideTable;
    return table;
}

TableCellFormatting tableCellFormatting(pugi::xml_node cell)
{
    TableCellFormatting formatting;
    formatting.styleName = attrText(cell, "style");
    const pugi::xml_node pen = childNamed(childNamed(cell, "box"), "topPen");
    formatting.boxPenWidth = doubleAttr(pen, "lineWidth");
    formatting.boxPenColor = colorAttr(pen, "lineColor");
    return formatting;
}

} // namespace JrxmlCodec
