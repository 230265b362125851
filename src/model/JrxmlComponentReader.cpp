// The reader of components and pass-through elements: lists and tables become editable kinds;
// charts, crosstabs, other components and generic elements are captured as XML text.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <cstring>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

// The prefix of a qualified name ("" without one).
std::string prefixOf(const char *qualifiedName)
{
    const char *colon = std::strchr(qualifiedName, ':');
    return colon ? std::string(qualifiedName, colon) : std::string();
}

// The prefix a namespace declaration binds ("xmlns:p" gives "p"), or no value.
std::optional<std::string> declaredPrefix(const char *attributeName)
{
    if (std::strncmp(attributeName, "xmlns:", 6) != 0)
        return std::nullopt;
    return std::string(attributeName + 6);
}

// Removes the control characters that XML 1.0 cannot carry; counts them.
void stripControlCharacters(pugi::xml_node node, pugi::xml_attribute attr, int &removed)
{
    const char *value = attr ? attr.value() : node.value();
    std::string kept;
    bool changed = false;
    for (const char *c = value; *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
            changed = true;
            ++removed;
            continue;
        }
        kept += *c;
    }
    if (!changed)
        return;
    if (attr)
        attr.set_value(kept.c_str());
    else
        node.set_value(kept.c_str());
}

// Makes the subtree stand on its own before it is printed: a prefix it uses but declares only
// on an ancestor gets its declaration on the subtree's root, and characters XML cannot carry
// are removed. The walk does not recurse, so no depth of nesting exhausts the stack.
void prepareForCapture(pugi::xml_node root, JrxmlReadContext &context)
{
    std::vector<std::string> declared; // prefixes declared inside the subtree, innermost last
    std::vector<size_t> marks;         // `declared` size on entering each open element
    std::vector<std::string> needed;
    int removed = 0;
    const auto use = [&](const std::string &prefix) {
        if (prefix.empty() || prefix == "xml" || prefix == "xmlns")
            return;
        for (const std::string &p : declared) {
            if (p == prefix)
                return;
        }
        for (const std::string &p : needed) {
            if (p == prefix)
                return;
        }
        needed.push_back(prefix);
    };

    pugi::xml_node node = root;
    while (node) {
        if (node.type() == pugi::node_element) {
            marks.push_back(declared.size());
            for (pugi::xml_attribute attr : node.attributes()) {
                if (std::optional<std::string> prefix = declaredPrefix(attr.name()))
                    declared.push_back(*prefix);
                stripControlCharacters(node, attr, removed);
            }
            use(prefixOf(node.name()));
            for (pugi::xml_attribute attr : node.attributes())
                use(prefixOf(attr.name()));
        } else {
            stripControlCharacters(node, {}, removed);
        }
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        // Leave every element that is finished, then go on with the next sibling.
        for (;;) {
            if (node.type() == pugi::node_element) {
                declared.resize(marks.back());
                marks.pop_back();
            }
            if (node == root) {
                node = pugi::xml_node();
                break;
            }
            if (node.next_sibling()) {
                node = node.next_sibling();
                break;
            }
            node = node.parent();
        }
    }

    for (const std::string &prefix : needed) {
        const std::string name = "xmlns:" + prefix;
        for (pugi::xml_node up = root.parent(); up; up = up.parent()) {
            if (const pugi::xml_attribute declaration = up.attribute(name.c_str())) {
                root.append_attribute(name.c_str()).set_value(declaration.value());
                break;
            }
        }
    }
    if (removed > 0)
        context.note(u"Characters that XML cannot carry were left out of captured content"_s);
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void *data, size_t size) override
    {
        text.append(static_cast<const char *>(data), size);
    }
};

void readDatasetRun(pugi::xml_node run, QString &datasetName, QString &connectionExpression,
                    QList<SubreportParameter> &parameters)
{
    datasetName = attrTextOr(run, "subDataset", {});
    connectionExpression = childTextOrEmpty(run, "connectionExpression");
    for (pugi::xml_node p : run.children("datasetParameter")) {
        parameters.append({newId(), attrTextOr(p, "name", {}),
                           childTextOrEmpty(p, "datasetParameterExpression")});
    }
}

// One table cell: its height, its first element and its formatting. Further elements are noted.
void readCell(pugi::xml_node cell, double &height, SharedOptional<ReportElement> &element,
              TableCellFormatting &formatting, JrxmlReadContext &context)
{
    height = 20;
    if (!cell)
        return;
    height = doubleAttr(cell, "height").value_or(20);
    const JrxmlNesting nesting(context);
    std::vector<pugi::xml_node> unread;
    const QList<ReportElement> elements = parseBandElements(cell, context, 1, &unread);
    if (!elements.isEmpty())
        element = elements.first();
    formatting = tableCellFormatting(cell);
    readCellKept(formatting, cell, unread, context);
}

ReportTableColumn readColumn(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportTableColumn c;
    c.id = newId();
    c.width = doubleAttr(node, "width").value_or(100);
    const pugi::xml_node header = node.child("jr:columnHeader");
    const pugi::xml_node detail = node.child("jr:detailCell");
    const pugi::xml_node footer = node.child("jr:columnFooter");
    readCell(header, c.columnHeaderHeight, c.columnHeaderElement, c.columnHeaderFormatting,
             context);
    readCell(detail, c.detailCellHeight, c.detailCellElement, c.detailCellFormatting, context);
    readCell(footer, c.columnFooterHeight, c.columnFooterElement, c.columnFooterFormatting,
             context);
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element && child != header && child != detail &&
            child != footer)
            context.dropped(child.name());
    }
    return c;
}

} // namespace

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
    StringWriter writer;
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return QString::fromStdString(writer.text);
}

QString bodyText(pugi::xml_node node, const char *leftOut, JrxmlReadContext &context)
{
    QString text;
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element && !hasLocalName(child, leftOut))
            text += capturedXml(child, context);
    }
    return text;
}

ElementKind::List readList(pugi::xml_node node, JrxmlReadContext &context)
{
    ElementKind::List list;
    list.printOrder = is(node.attribute("printOrder").value(), "Horizontal")
                          ? PrintOrder::horizontal
                          : PrintOrder::vertical;
    readDatasetRun(node.child("datasetRun"), list.datasetName, list.connectionExpression,
                   list.parameters);
    if (const pugi::xml_node contents = node.child("jr:listContents")) {
        const JrxmlNesting nesting(context);
        list.children = parseBandElements(contents, context);
    }
    return list;
}

ElementKind::Table readTable(pugi::xml_node node, JrxmlReadContext &context)
{
    ElementKind::Table table;
    const pugi::xml_node run = node.child("datasetRun");
    readDatasetRun(run, table.datasetName, table.connectionExpression, table.parameters);
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element || child == run)
            continue;
        if (is(child.name(), "jr:column"))
            table.columns.append(readColumn(child, context));
        else
            context.dropped(child.name());
    }
    return table;
}

TableCellFormatting tableCellFormatting(pugi::xml_node cell)
{
    TableCellFormatting formatting;
    formatting.styleName = attrText(cell, "style");
    const pugi::xml_node pen = cell.child("box").child("topPen");
    formatting.boxPenWidth = doubleAttr(pen, "lineWidth");
    formatting.boxPenColor = colorAttr(pen, "lineColor");
    return formatting;
}

} // namespace JrxmlCodec
