// The reader of the data-definition sections. Every item starts from its defaults (a fresh id
// among them); values the file gives replace them, taken exactly as written.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <cstring>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

const QString javaString = u"java.lang.String"_s;

// No value when the attribute is absent; else whether it is exactly "true".
std::optional<bool> optionalFlag(pugi::xml_node node, const char *name)
{
    const pugi::xml_attribute attr = node.attribute(name);
    if (!attr)
        return std::nullopt;
    return is(attr.value(), "true");
}

ReportTemplate readTemplate(pugi::xml_node node)
{
    return {newId(), textValue(node), attrTextOr(node, "class", javaString)};
}

ConditionalStyleRule readRule(pugi::xml_node node)
{
    ConditionalStyleRule r;
    r.conditionExpression = childTextOrEmpty(node, "conditionExpression");
    const pugi::xml_node style = node.child("style");
    r.fontName = attrText(style, "fontName");
    r.fontSize = doubleAttr(style, "fontSize");
    r.isBold = optionalFlag(style, "isBold");
    r.isItalic = optionalFlag(style, "isItalic");
    r.isUnderline = optionalFlag(style, "isUnderline");
    r.foreColor = colorAttr(style, "forecolor");
    r.backColor = colorAttr(style, "backcolor");
    return r;
}

ReportStyle readStyle(pugi::xml_node node)
{
    ReportStyle s;
    s.name = attrTextOr(node, "name", u"Style"_s);
    s.isDefault = isTrue(node, "isDefault");
    s.fontName = attrTextOr(node, "fontName", u"SansSerif"_s);
    s.fontSize = doubleAttr(node, "fontSize").value_or(10);
    s.isBold = isTrue(node, "isBold");
    s.isItalic = isTrue(node, "isItalic");
    s.isUnderline = isTrue(node, "isUnderline");
    s.pdfFontName = attrText(node, "pdfFontName");
    s.pdfEncoding = attrText(node, "pdfEncoding");
    s.isPdfEmbedded = isTrue(node, "isPdfEmbedded");
    s.textAlignment = textAlignmentText(node.attribute("hAlign").value());
    s.foreColor = colorAttr(node, "forecolor");
    s.backColor = colorAttr(node, "backcolor");
    s.penWidth = doubleAttr(node.child("box").child("pen"), "lineWidth").value_or(1.0);
    for (pugi::xml_node rule : node.children("conditionalStyle"))
        s.conditionalStyles.append(readRule(rule));
    return s;
}

ReportParameter readParameter(pugi::xml_node node)
{
    ReportParameter p;
    p.name = attrTextOr(node, "name", {});
    p.className = attrTextOr(node, "class", javaString);
    p.isForPrompting = !is(node.attribute("isForPrompting").value(), "false");
    p.parameterDescription = childText(node, "parameterDescription");
    p.defaultValueExpression = childText(node, "defaultValueExpression");
    return p;
}

ReportField readField(pugi::xml_node node)
{
    return {newId(), attrTextOr(node, "name", {}), attrTextOr(node, "class", javaString),
            childText(node, "fieldDescription")};
}

ReportVariable readVariable(pugi::xml_node node)
{
    ReportVariable v;
    v.name = attrTextOr(node, "name", {});
    v.className = attrTextOr(node, "class", javaString);
    v.calculation = attrTextOr(node, "calculation", u"Nothing"_s);
    v.resetType = attrTextOr(node, "resetType", u"Report"_s);
    v.resetGroup = attrText(node, "resetGroup");
    v.incrementType = attrText(node, "incrementType");
    v.incrementGroup = attrText(node, "incrementGroup");
    v.expression = childTextOrEmpty(node, "variableExpression");
    v.initialValueExpression = childText(node, "initialValueExpression");
    return v;
}

ReportSortField readSortField(pugi::xml_node node)
{
    ReportSortField s;
    s.name = attrTextOr(node, "name", {});
    s.order = enumAttr<SortFieldOrder>(node, "order").value_or(SortFieldOrder::ascending);
    s.type = enumAttr<SortFieldType>(node, "type").value_or(SortFieldType::field);
    return s;
}

ReportScriptlet readScriptlet(pugi::xml_node node)
{
    return {newId(), attrTextOr(node, "name", {}), attrTextOr(node, "class", {}),
            childText(node, "scriptletDescription")};
}

// The query of the document or a sub-dataset: the first queryString child.
void readQuery(pugi::xml_node node, QString &query, QString &language)
{
    const pugi::xml_node queryNode = node.child("queryString");
    query = textValue(queryNode);
    language = attrTextOr(queryNode, "language", u"sql"_s);
}

ReportSubDataset readSubDataset(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportSubDataset s;
    s.name = attrTextOr(node, "name", u"Dataset"_s);
    readQuery(node, s.queryString, s.queryLanguage);
    const pugi::xml_node query = node.child("queryString");
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element || child == query)
            continue;
        const char *name = child.name();
        if (is(name, "parameter"))
            s.parameters.append(readParameter(child));
        else if (is(name, "field"))
            s.fields.append(readField(child));
        else if (is(name, "variable"))
            s.variables.append(readVariable(child));
        else
            context.dropped(name);
    }
    return s;
}

ReportGroup readGroup(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportGroup g;
    g.name = attrTextOr(node, "name", {});
    g.isStartNewPage = isTrue(node, "isStartNewPage");
    g.isResetPageNumber = isTrue(node, "isResetPageNumber");
    g.isReprintHeaderOnEachPage = isTrue(node, "isReprintHeaderOnEachPage");
    g.isKeepTogether = isTrue(node, "keepTogether");
    g.isStartNewColumn = isTrue(node, "isStartNewColumn");
    g.footerPosition =
        enumAttr<GroupFooterPosition>(node, "footerPosition").value_or(GroupFooterPosition::normal);
    g.expression = childTextOrEmpty(node, "groupExpression");
    readGroupBands(node, g, context);
    return g;
}

} // namespace

void readDataDefinitions(pugi::xml_node root, ReportDocument &d, JrxmlReadContext &context)
{
    for (pugi::xml_node node : root.children("template"))
        d.reportTemplates.append(readTemplate(node));
    for (pugi::xml_node node : root.children("style"))
        d.styles.append(readStyle(node));
    context.setStyles(d.styles);
    for (pugi::xml_node node : root.children("subDataset"))
        d.subDatasets.append(readSubDataset(node, context));
    for (pugi::xml_node node : root.children("scriptlet"))
        d.scriptlets.append(readScriptlet(node));
    for (pugi::xml_node node : root.children("parameter"))
        d.parameters.append(readParameter(node));
    readQuery(root, d.queryString, d.queryLanguage);
    for (pugi::xml_node node : root.children("field"))
        d.fields.append(readField(node));
    for (pugi::xml_node node : root.children("sortField"))
        d.sortFields.append(readSortField(node));
    for (pugi::xml_node node : root.children("variable"))
        d.variables.append(readVariable(node));
    for (pugi::xml_node node : root.children("group"))
        d.groups.append(readGroup(node, context));
}

} // namespace JrxmlCodec
