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

// The attributes each item's reader takes, and the order of each item's child tags.
constexpr const char *none[] = {"-"};
constexpr const char *templateAttrs[] = {"class"};
constexpr const char *styleAttrs[] = {"name",        "isDefault",     "fontName",    "fontSize",
                                      "isBold",      "isItalic",      "isUnderline", "pdfFontName",
                                      "pdfEncoding", "isPdfEmbedded", "hAlign",      "forecolor",
                                      "backcolor"};
constexpr const char *ruleStyleAttrs[] = {"fontName",    "fontSize",  "isBold",   "isItalic",
                                          "isUnderline", "forecolor", "backcolor"};
constexpr const char *parameterAttrs[] = {"name", "class", "isForPrompting"};
constexpr const char *fieldAttrs[] = {"name", "class"};
constexpr const char *variableAttrs[] = {
    "name", "class", "resetType", "resetGroup", "incrementType", "incrementGroup", "calculation"};
constexpr const char *sortFieldAttrs[] = {"name", "order", "type"};
constexpr const char *queryAttrs[] = {"language"};
constexpr const char *nameAttr[] = {"name"};
constexpr const char *groupAttrs[] = {
    "name",         "isStartNewPage",   "isResetPageNumber", "isReprintHeaderOnEachPage",
    "keepTogether", "isStartNewColumn", "footerPosition"};
constexpr const char *lineWidthAttr[] = {"lineWidth"};

// The attributes an item's reader does not take; the item has no children to keep.
KeptXml keptAttributes(pugi::xml_node node, TagOrder taken, JrxmlReadContext &context)
{
    return keptOf(node, taken, none, none, none, context);
}

// The attributes an item's reader does not take, and none of its children: the item's text
// holds them.
KeptXml keptAttributesOnly(pugi::xml_node node, TagOrder taken, JrxmlReadContext &context)
{
    return keptOf(
        node, taken, none, [](pugi::xml_node) { return true; }, context);
}

ReportTemplate readTemplate(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportTemplate t{newId(), textValue(node), attrTextOr(node, "class", javaString)};
    t.kept.setPart({}, keptAttributesOnly(node, templateAttrs, context));
    return t;
}

ConditionalStyleRule readRule(pugi::xml_node node, JrxmlReadContext &context)
{
    ConditionalStyleRule r;
    r.kept.setPart({}, keptOf(node, none, tagOrder::rule, tagOrder::rule, none, context));
    r.kept.setPart(u"style"_s, keptOf(node.child("style"), ruleStyleAttrs, tagOrder::style, none,
                                      none, context));
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

ReportStyle readStyle(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportStyle s;
    constexpr const char *box[] = {"box"};
    constexpr const char *pen[] = {"pen"};
    constexpr const char *rules[] = {"conditionalStyle"};
    KeptXml own = keptOf(node, styleAttrs, tagOrder::style, box, rules, context);
    // A style that names no font, size or weight inherits them (from its parent style).
    noteAbsent(node, own,
               {{"fontName", "SansSerif"},
                {"fontSize", "10"},
                {"isBold", "false"},
                {"isItalic", "false"},
                {"isUnderline", "false"}});
    // A back colour without a mode leaves the mode to the parent style or the element.
    if (node.attribute("backcolor"))
        noteAbsent(node, own, {{"mode", "Opaque"}});
    s.kept.setPart({}, std::move(own));
    const pugi::xml_node boxNode = node.child("box");
    s.kept.setPart(u"box"_s, keptOf(boxNode, none, tagOrder::box, pen, none, context));
    // A pen width of 1.0 is the model's default and is not written: a file that sets it keeps it,
    // for elements of the style would otherwise have no border.
    const pugi::xml_node penNode = boxNode.child("pen");
    const bool widthIsDefault = doubleAttr(penNode, "lineWidth") == 1.0;
    s.kept.setPart(u"box/pen"_s, widthIsDefault ? keptAttributes(penNode, none, context)
                                                : keptAttributes(penNode, lineWidthAttr, context));
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
    // An alignment the model has no case for ("Justified") is kept as written.
    if (const pugi::xml_attribute hAlign = node.attribute("hAlign");
        hAlign && !enumFromRaw<TextAlignment>(QString::fromUtf8(hAlign.value()))) {
        KeptXml own = s.kept.part({});
        own.attributes.prepend({u"hAlign"_s, QString::fromUtf8(hAlign.value())});
        s.kept.setPart({}, own);
    }
    s.foreColor = colorAttr(node, "forecolor");
    s.backColor = colorAttr(node, "backcolor");
    s.penWidth = doubleAttr(node.child("box").child("pen"), "lineWidth").value_or(1.0);
    for (pugi::xml_node rule : node.children("conditionalStyle"))
        s.conditionalStyles.append(readRule(rule, context));
    return s;
}

ReportParameter readParameter(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportParameter p;
    constexpr const char *taken[] = {"parameterDescription", "defaultValueExpression"};
    p.kept.setPart({}, keptOf(node, parameterAttrs, tagOrder::parameter, taken, none, context));
    p.name = attrTextOr(node, "name", {});
    p.className = attrTextOr(node, "class", javaString);
    p.isForPrompting = !is(node.attribute("isForPrompting").value(), "false");
    p.parameterDescription = childText(node, "parameterDescription");
    p.defaultValueExpression = childText(node, "defaultValueExpression");
    return p;
}

ReportField readField(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *description[] = {"fieldDescription"};
    ReportField f{newId(), attrTextOr(node, "name", {}), attrTextOr(node, "class", javaString),
                  childText(node, "fieldDescription")};
    f.kept.setPart({}, keptOf(node, fieldAttrs, tagOrder::field, description, none, context));
    return f;
}

ReportVariable readVariable(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *taken[] = {"variableExpression", "initialValueExpression"};
    ReportVariable v;
    v.kept.setPart({}, keptOf(node, variableAttrs, tagOrder::variable, taken, none, context));
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

ReportSortField readSortField(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportSortField s;
    s.kept.setPart({}, keptOf(node, sortFieldAttrs, none, none, none, context));
    s.name = attrTextOr(node, "name", {});
    s.order = enumAttr<SortFieldOrder>(node, "order").value_or(SortFieldOrder::ascending);
    s.type = enumAttr<SortFieldType>(node, "type").value_or(SortFieldType::field);
    return s;
}

ReportScriptlet readScriptlet(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *description[] = {"scriptletDescription"};
    ReportScriptlet s{newId(), attrTextOr(node, "name", {}), attrTextOr(node, "class", {}),
                      childText(node, "scriptletDescription")};
    s.kept.setPart({}, keptOf(node, fieldAttrs, tagOrder::scriptlet, description, none, context));
    return s;
}

// The query of the document or a sub-dataset: the first queryString child.
void readQuery(pugi::xml_node node, QString &query, QString &language, KeptParts &kept,
               JrxmlReadContext &context)
{
    const pugi::xml_node queryNode = node.child("queryString");
    query = textValue(queryNode);
    language = attrTextOr(queryNode, "language", u"sql"_s);
    kept.setPart(u"queryString"_s, keptAttributesOnly(queryNode, queryAttrs, context));
}

ReportSubDataset readSubDataset(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *once[] = {"queryString"};
    constexpr const char *all[] = {"parameter", "field", "variable"};
    ReportSubDataset s;
    s.name = attrTextOr(node, "name", u"Dataset"_s);
    readQuery(node, s.queryString, s.queryLanguage, s.kept, context);
    s.kept.setPart({}, keptOf(node, nameAttr, tagOrder::subDataset, once, all, context));
    for (pugi::xml_node child : node.children()) {
        const char *name = child.name();
        if (is(name, "parameter"))
            s.parameters.append(readParameter(child, context));
        else if (is(name, "field"))
            s.fields.append(readField(child, context));
        else if (is(name, "variable"))
            s.variables.append(readVariable(child, context));
    }
    return s;
}

ReportGroup readGroup(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportGroup g;
    g.kept.setPart({}, keptOf(node, groupAttrs, tagOrder::group, tagOrder::group, none, context));
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
        d.reportTemplates.append(readTemplate(node, context));
    for (pugi::xml_node node : root.children("style"))
        d.styles.append(readStyle(node, context));
    context.setStyles(d.styles);
    for (pugi::xml_node node : root.children("subDataset"))
        d.subDatasets.append(readSubDataset(node, context));
    for (pugi::xml_node node : root.children("scriptlet"))
        d.scriptlets.append(readScriptlet(node, context));
    for (pugi::xml_node node : root.children("parameter"))
        d.parameters.append(readParameter(node, context));
    readQuery(root, d.queryString, d.queryLanguage, d.kept, context);
    for (pugi::xml_node node : root.children("field"))
        d.fields.append(readField(node, context));
    for (pugi::xml_node node : root.children("sortField"))
        d.sortFields.append(readSortField(node, context));
    for (pugi::xml_node node : root.children("variable"))
        d.variables.append(readVariable(node, context));
    for (pugi::xml_node node : root.children("group"))
        d.groups.append(readGroup(node, context));
}

} // namespace JrxmlCodec
