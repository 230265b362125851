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
    const pugi::xml_attribute attr = attribute(node, name);
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
    KeptXml own = keptAttributesOnly(node, templateAttrs, context);
    keepSpelled(node, "class", t.className == javaString, own);
    t.kept.setPart({}, std::move(own));
    return t;
}

// A back colour without a mode leaves the mode to the parent style or the element, until the
// user changes the fill.
void noteAbsentMode(pugi::xml_node node, const std::optional<ElementColor> &backColor,
                    KeptXml &kept)
{
    if (backColor)
        absentUnless(node, "mode", u"Opaque"_s, kept, {{u"backcolor"_s, backColor->hex}});
}

// The alignment as the file names it: `hTextAlign` (which wins over `hAlign`) stays as written,
// and a changed alignment is written under that name; a text the model has no case for
// ("Justified") stays as written while the value is unchanged.
void keepStyleAlignment(pugi::xml_node node, TextAlignment alignment, KeptXml &kept)
{
    if (!attribute(node, "hTextAlign")) {
        keepSpelled(node, "hAlign", alignment == TextAlignment::left, kept);
        absentUnless(node, "hAlign", rawValue(alignment), kept);
    } else if (const pugi::xml_attribute older = attribute(node, "hAlign")) {
        kept.attributes.append({u"hAlign"_s, valueText(older.value())});
    }
}

ConditionalStyleRule readRule(pugi::xml_node node, JrxmlReadContext &context)
{
    ConditionalStyleRule r;
    const pugi::xml_node style = childNamed(node, "style");
    KeptXml own = keptOf(node, none, tagOrder::rule, tagOrder::rule, none, context);
    keepAbsentOrEmptyChild(node, "conditionExpression", own);
    if (!style)
        own.absentChildren.append(u"style"_s);
    r.kept.setPart({}, std::move(own));
    KeptXml inner = keptOf(style, ruleStyleAttrs, tagOrder::style, none, none, context);
    noteAbsentMode(style, colorAttr(style, "backcolor"), inner);
    keepSpelled(style, "fontName", !attribute(style, "fontName").value()[0], inner);
    r.kept.setPart(u"style"_s, std::move(inner));
    r.conditionExpression = childTextOrEmpty(node, "conditionExpression");
    r.fontName = attrText(style, "fontName");
    r.fontSize = doubleAttr(style, "fontSize");
    noteUnreadNumber(style, attribute(style, "fontSize"), {}, context);
    r.isBold = optionalFlag(style, "isBold");
    r.isItalic = optionalFlag(style, "isItalic");
    r.isUnderline = optionalFlag(style, "isUnderline");
    r.foreColor = colorAttr(style, "forecolor");
    r.backColor = colorAttr(style, "backcolor");
    return r;
}

} // namespace

ReportStyle styleValues(pugi::xml_node node, const InheritedStyle &chain)
{
    ReportStyle s;
    s.name = attrTextOr(node, "name", u"Style"_s);
    s.isDefault = isTrue(node, "isDefault");
    s.fontName = chain.fontName.value_or(u"SansSerif"_s);
    s.fontSize = chain.fontSize.value_or(10);
    s.isBold = chain.isBold.value_or(false);
    s.isItalic = chain.isItalic.value_or(false);
    s.isUnderline = chain.isUnderline.value_or(false);
    s.pdfFontName = chain.pdfFontName;
    s.pdfEncoding = chain.pdfEncoding;
    s.isPdfEmbedded = chain.isPdfEmbedded.value_or(false);
    s.textAlignment = chain.textAlignment.value_or(TextAlignment::left);
    s.foreColor = chain.foreColor;
    s.backColor = chain.backColor;
    return s;
}

namespace {

// A style's values where it sets them, else those its parent style chain gives it, else the
// engine's own; what it inherits stays out of the file while unchanged.
ReportStyle readStyle(pugi::xml_node node, const InheritedStyle &chain, JrxmlReadContext &context)
{
    ReportStyle s = styleValues(node, chain);
    constexpr const char *box[] = {"box"};
    constexpr const char *pen[] = {"pen"};
    constexpr const char *rules[] = {"conditionalStyle"};
    KeptXml own = keptOf(node, styleAttrs, tagOrder::style, box, rules, context);
    const pugi::xml_node penNode = childNamed(childNamed(node, "box"), "pen");
    s.penWidth = doubleAttr(penNode, "lineWidth").value_or(1.0);
    noteUnreadNumber(node, attribute(node, "fontSize"), sizeNumber(s.fontSize), context);
    noteUnreadNumber(penNode, attribute(penNode, "lineWidth"), decimalNumber(s.penWidth), context);
    absentUnless(node, "fontName", s.fontName, own);
    absentUnless(node, "fontSize", sizeNumber(s.fontSize), own);
    noteAbsent(node, own,
               {{"isBold", s.isBold ? "true" : "false"},
                {"isItalic", s.isItalic ? "true" : "false"},
                {"isUnderline", s.isUnderline ? "true" : "false"}});
    if (s.pdfFontName)
        absentUnless(node, "pdfFontName", *s.pdfFontName, own);
    if (s.pdfEncoding)
        absentUnless(node, "pdfEncoding", *s.pdfEncoding, own);
    if (s.isPdfEmbedded)
        absentUnless(node, "isPdfEmbedded", u"true"_s, own);
    if (s.foreColor)
        absentUnless(node, "forecolor", s.foreColor->hex, own);
    if (s.backColor)
        absentUnless(node, "backcolor", s.backColor->hex, own);
    noteAbsentMode(node, s.backColor, own);
    // Defaults the writer leaves out stay spelled out.
    keepSpelled(node, "isDefault", !s.isDefault, own);
    keepSpelled(node, "isPdfEmbedded", !s.isPdfEmbedded, own);
    keepSpelled(node, "pdfFontName", isAbsentOrEmpty(s.pdfFontName), own);
    keepSpelled(node, "pdfEncoding", isAbsentOrEmpty(s.pdfEncoding), own);
    keepStyleAlignment(node, s.textAlignment, own);
    s.kept.setPart({}, std::move(own));
    const pugi::xml_node boxNode = childNamed(node, "box");
    s.kept.setPart(u"box"_s, keptOf(boxNode, none, tagOrder::box, pen, none, context));
    // A pen width of 1.0 is the model's default and is not written: a file that sets it keeps it,
    // for elements of the style would otherwise have no border.
    const bool widthIsDefault = doubleAttr(penNode, "lineWidth") == 1.0;
    s.kept.setPart(u"box/pen"_s, widthIsDefault ? keptAttributes(penNode, none, context)
                                                : keptAttributes(penNode, lineWidthAttr, context));
    for (pugi::xml_node rule : childrenNamed(node, "conditionalStyle"))
        s.conditionalStyles.append(readRule(rule, context));
    return s;
}

ReportParameter readParameter(pugi::xml_node node, JrxmlReadContext &context)
{
    ReportParameter p;
    constexpr const char *taken[] = {"parameterDescription", "defaultValueExpression"};
    KeptXml own = keptOf(node, parameterAttrs, tagOrder::parameter, taken, none, context);
    p.name = attrTextOr(node, "name", {});
    p.className = attrTextOr(node, "class", javaString);
    p.isForPrompting = !is(attribute(node, "isForPrompting").value(), "false");
    absentUnless(node, "class", javaString, own);
    keepSpelled(node, "isForPrompting", p.isForPrompting, own);
    keepEmptyChild(node, "defaultValueExpression", own);
    p.kept.setPart({}, std::move(own));
    p.parameterDescription = childText(node, "parameterDescription");
    p.defaultValueExpression = childText(node, "defaultValueExpression");
    return p;
}

ReportField readField(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *description[] = {"fieldDescription"};
    ReportField f{newId(), attrTextOr(node, "name", {}), attrTextOr(node, "class", javaString),
                  childText(node, "fieldDescription")};
    KeptXml own = keptOf(node, fieldAttrs, tagOrder::field, description, none, context);
    absentUnless(node, "class", javaString, own);
    f.kept.setPart({}, std::move(own));
    return f;
}

ReportVariable readVariable(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *taken[] = {"variableExpression", "initialValueExpression"};
    ReportVariable v;
    KeptXml own = keptOf(node, variableAttrs, tagOrder::variable, taken, none, context);
    noteAbsent(
        node, own,
        {{"class", "java.lang.String"}, {"resetType", "Report"}, {"calculation", "Nothing"}});
    for (const char *name : {"resetGroup", "incrementType", "incrementGroup"})
        keepSpelled(node, name, !attribute(node, name).value()[0], own);
    keepEmptyChild(node, "variableExpression", own);
    keepEmptyChild(node, "initialValueExpression", own);
    v.kept.setPart({}, std::move(own));
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
    KeptXml own = keptOf(node, sortFieldAttrs, none, none, none, context);
    s.name = attrTextOr(node, "name", {});
    s.order = enumAttr<SortFieldOrder>(node, "order").value_or(SortFieldOrder::ascending);
    s.type = enumAttr<SortFieldType>(node, "type").value_or(SortFieldType::field);
    noteAbsent(node, own, {{"order", "Ascending"}, {"type", "Field"}});
    keepUnknownCase(node, "order", s.order, own);
    keepUnknownCase(node, "type", s.type, own);
    s.kept.setPart({}, std::move(own));
    return s;
}

ReportScriptlet readScriptlet(pugi::xml_node node, JrxmlReadContext &context)
{
    constexpr const char *description[] = {"scriptletDescription"};
    ReportScriptlet s{newId(), attrTextOr(node, "name", {}), attrTextOr(node, "class", {}),
                      childText(node, "scriptletDescription")};
    KeptXml own = keptOf(node, fieldAttrs, tagOrder::scriptlet, description, none, context);
    keepEmptyChild(node, "scriptletDescription", own);
    s.kept.setPart({}, std::move(own));
    if (!isWrittenScriptlet(s))
        context.note(u"Scriptlets without a class are left out when the report is saved"_s);
    return s;
}

// The query of the document or a sub-dataset: the first queryString child. An empty query the
// file has is kept, as its language still selects how the engine runs the report.
void readQuery(pugi::xml_node node, QString &query, QString &language, KeptParts &kept,
               JrxmlReadContext &context)
{
    const pugi::xml_node queryNode = childNamed(node, "queryString");
    query = textValue(queryNode);
    language = attrTextOr(queryNode, "language", u"sql"_s);
    KeptXml own = keptAttributesOnly(queryNode, queryAttrs, context);
    noteAbsent(queryNode, own, {{"language", "sql"}});
    own.present = queryNode && query.isEmpty();
    kept.setPart(u"queryString"_s, std::move(own));
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
    g.name = attrTextOr(node, "name", {});
    g.isStartNewPage = isTrue(node, "isStartNewPage");
    g.isResetPageNumber = isTrue(node, "isResetPageNumber");
    g.isReprintHeaderOnEachPage = isTrue(node, "isReprintHeaderOnEachPage");
    g.isKeepTogether = isTrue(node, "keepTogether");
    g.isStartNewColumn = isTrue(node, "isStartNewColumn");
    g.footerPosition =
        enumAttr<GroupFooterPosition>(node, "footerPosition").value_or(GroupFooterPosition::normal);
    g.expression = childTextOrEmpty(node, "groupExpression");
    KeptXml own = keptOf(node, groupAttrs, tagOrder::group, tagOrder::group, none, context);
    noteAbsent(node, own, {{"isStartNewPage", "false"}, {"isResetPageNumber", "false"}});
    keepSpelled(node, "isReprintHeaderOnEachPage", !g.isReprintHeaderOnEachPage, own);
    keepSpelled(node, "keepTogether", !g.isKeepTogether, own);
    keepSpelled(node, "isStartNewColumn", !g.isStartNewColumn, own);
    // "Normal" spelled out, and a position the model has no case for ("CollateAtBottom").
    keepSpelled(node, "footerPosition", g.footerPosition == GroupFooterPosition::normal, own);
    if (!childNamed(node, "groupExpression"))
        own.absentChildren.append(u"groupExpression"_s);
    g.kept.setPart({}, std::move(own));
    readGroupBands(node, g, context);
    return g;
}

} // namespace

void readDataDefinitions(pugi::xml_node root, ReportDocument &d, JrxmlReadContext &context)
{
    for (pugi::xml_node node : childrenNamed(root, "template"))
        d.reportTemplates.append(readTemplate(node, context));
    // The report fonts of older reports are styles to the engine, declared before the others;
    // they stay in the file as written.
    std::vector<pugi::xml_node> styleNodes;
    for (pugi::xml_node node : childrenNamed(root, "reportFont"))
        styleNodes.push_back(node);
    const size_t fontCount = styleNodes.size();
    for (pugi::xml_node node : childrenNamed(root, "style"))
        styleNodes.push_back(node);
    const QList<InheritedStyle> chains = resolveStyleChains(styleNodes);
    QList<ReportStyle> all;
    for (size_t i = 0; i < styleNodes.size(); ++i) {
        const InheritedStyle &chain = chains[qsizetype(i)];
        if (i < fontCount) {
            all.append(styleValues(styleNodes[i], chain));
        } else {
            d.styles.append(readStyle(styleNodes[i], chain, context));
            all.append(d.styles.constLast());
        }
    }
    context.setStyles(all, chains);
    for (pugi::xml_node node : childrenNamed(root, "subDataset"))
        d.subDatasets.append(readSubDataset(node, context));
    for (pugi::xml_node node : childrenNamed(root, "scriptlet"))
        d.scriptlets.append(readScriptlet(node, context));
    for (pugi::xml_node node : childrenNamed(root, "parameter"))
        d.parameters.append(readParameter(node, context));
    readQuery(root, d.queryString, d.queryLanguage, d.kept, context);
    for (pugi::xml_node node : childrenNamed(root, "field"))
        d.fields.append(readField(node, context));
    for (pugi::xml_node node : childrenNamed(root, "sortField"))
        d.sortFields.append(readSortField(node, context));
    for (pugi::xml_node node : childrenNamed(root, "variable"))
        d.variables.append(readVariable(node, context));
    for (pugi::xml_node node : childrenNamed(root, "group"))
        d.groups.append(readGroup(node, context));
}

} // namespace JrxmlCodec
