// The writer of the data-definition sections: templates, styles, sub-datasets, scriptlets,
// parameters, the query, fields, sort fields, variables and groups.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

QStringView trueOrFalse(bool value)
{
    return value ? u"true" : u"false";
}

// Ends the start tag of an element that has no children of its own: as an empty element, or
// with the kept children as its content.
void closeWithKept(QString &out, int spaces, QLatin1StringView tag, const KeptXml &kept,
                   TagOrder order, QLatin1StringView after)
{
    if (kept.children.isEmpty()) {
        out += "/>\n"_L1 + after;
        return;
    }
    out += ">\n"_L1;
    KeptChildWriter(kept, order, spaces + 4).rest(out);
    out += indent(spaces) + "</"_L1 + tag + ">\n"_L1 + after;
}

void appendTemplate(QString &out, const ReportTemplate &t)
{
    const qsizetype start = openTag(out, 4, "template"_L1);
    if (t.className != "java.lang.String"_L1)
        appendAttr(out, "class"_L1, t.className);
    appendKeptAttributes(out, start, t.kept.part({}));
    out += u'>';
    appendCData(out, t.expression);
    out += "</template>\n\n"_L1;
}

void appendRule(QString &out, const ConditionalStyleRule &r)
{
    const KeptXml &own = r.kept.part({});
    const qsizetype start = openTag(out, 8, "conditionalStyle"_L1);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::rule, 12);
    if (!own.leavesOut(u"conditionExpression", r.conditionExpression))
        appendCDataLine(out, 12, "conditionExpression"_L1, r.conditionExpression);
    kept.through(out, "conditionExpression");
    const KeptXml &inner = r.kept.part(u"style");
    const qsizetype styleStart = openTag(out, 12, "style"_L1);
    if (!isAbsentOrEmpty(r.fontName))
        appendAttr(out, "fontName"_L1, *r.fontName);
    if (r.fontSize)
        appendSizeAttr(out, "fontSize"_L1, *r.fontSize);
    if (r.isBold)
        appendRawAttr(out, "isBold"_L1, trueOrFalse(*r.isBold));
    if (r.isItalic)
        appendRawAttr(out, "isItalic"_L1, trueOrFalse(*r.isItalic));
    if (r.isUnderline)
        appendRawAttr(out, "isUnderline"_L1, trueOrFalse(*r.isUnderline));
    appendColorAttrs(out, r.foreColor, r.backColor, !inner.attribute(u"mode"));
    appendKeptAttributes(out, styleStart, inner);
    // A rule the file gave no inner style keeps none while it overrides nothing.
    if (own.leavesOut(u"style", QStringView(out).mid(styleStart + 6)) && inner.children.isEmpty())
        out.truncate(styleStart - 12);
    else
        closeWithKept(out, 12, "style"_L1, inner, tagOrder::style, {});
    kept.rest(out);
    out += indent(8) + "</conditionalStyle>\n"_L1;
}

// The style's box: its pen width, with what the file held besides.
void appendStyleBox(QString &out, const ReportStyle &s)
{
    const KeptXml &box = s.kept.part(u"box");
    const KeptXml &pen = s.kept.part(u"box/pen");
    if (s.penWidth == 1.0 && box.isEmpty() && pen.isEmpty())
        return;
    const qsizetype start = openTag(out, 8, "box"_L1);
    appendKeptAttributes(out, start, box);
    out += u'>';
    if (s.penWidth != 1.0 || !pen.isEmpty()) {
        const qsizetype penStart = out.size();
        out += "<pen"_L1;
        if (s.penWidth != 1.0)
            appendRawAttr(out, "lineWidth"_L1, decimalNumber(s.penWidth));
        appendKeptAttributes(out, penStart, pen);
        out += "/>"_L1;
    }
    if (box.children.isEmpty()) {
        out += "</box>\n"_L1;
        return;
    }
    out += u'\n';
    KeptChildWriter(box, tagOrder::box, 12).rest(out);
    out += indent(8) + "</box>\n"_L1;
}

} // namespace

void appendStyle(QString &out, const ReportStyle &s)
{
    const KeptXml &own = s.kept.part({});
    const qsizetype start = openTag(out, 4, "style"_L1);
    appendAttr(out, "name"_L1, s.name);
    appendTrueFlag(out, "isDefault"_L1, s.isDefault);
    appendAttr(out, "fontName"_L1, s.fontName);
    appendSizeAttr(out, "fontSize"_L1, s.fontSize);
    appendRawAttr(out, "isBold"_L1, trueOrFalse(s.isBold));
    appendRawAttr(out, "isItalic"_L1, trueOrFalse(s.isItalic));
    appendRawAttr(out, "isUnderline"_L1, trueOrFalse(s.isUnderline));
    if (!isAbsentOrEmpty(s.pdfFontName))
        appendAttr(out, "pdfFontName"_L1, *s.pdfFontName);
    if (!isAbsentOrEmpty(s.pdfEncoding))
        appendAttr(out, "pdfEncoding"_L1, *s.pdfEncoding);
    appendTrueFlag(out, "isPdfEmbedded"_L1, s.isPdfEmbedded);
    // A changed alignment under the name the file used (`hTextAlign` wins over `hAlign`, and
    // stands as written while unchanged); Left where it overrides an inherited alignment.
    if (const QString *newer = own.attribute(u"hTextAlign")) {
        if (enumFromRaw<TextAlignment>(*newer).value_or(TextAlignment::left) != s.textAlignment)
            appendRawAttr(out, "hTextAlign"_L1, rawValue(s.textAlignment));
    } else if (s.textAlignment != TextAlignment::left ||
               own.inheritsOtherThan(u"hAlign", u"Left")) {
        appendRawAttr(out, "hAlign"_L1, rawValue(s.textAlignment));
    }
    appendColorAttrs(out, s.foreColor, s.backColor, !own.attribute(u"mode"));
    appendKeptAttributes(out, start, own);
    const bool hasBox =
        s.penWidth != 1.0 || !s.kept.part(u"box").isEmpty() || !s.kept.part(u"box/pen").isEmpty();
    if (!hasBox && s.conditionalStyles.isEmpty() && own.children.isEmpty()) {
        out += "/>\n\n"_L1;
        return;
    }
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::style, 8);
    kept.before(out, "box");
    appendStyleBox(out, s);
    kept.before(out, "conditionalStyle");
    for (const ConditionalStyleRule &rule : s.conditionalStyles)
        appendRule(out, rule);
    kept.rest(out);
    out += indent(4) + "</style>\n\n"_L1;
}

namespace {

void appendScriptlet(QString &out, const ReportScriptlet &s)
{
    if (!isWrittenScriptlet(s))
        return;
    const KeptXml &own = s.kept.part({});
    const qsizetype start = openTag(out, 4, "scriptlet"_L1);
    appendAttr(out, "name"_L1, s.name);
    appendAttr(out, "class"_L1, s.className);
    appendKeptAttributes(out, start, own);
    if (!isWrittenExpression(s.scriptletDescription, own, u"scriptletDescription")) {
        closeWithKept(out, 4, "scriptlet"_L1, own, tagOrder::scriptlet, "\n"_L1);
        return;
    }
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::scriptlet, 8);
    kept.before(out, "scriptletDescription");
    if (isWrittenExpression(s.scriptletDescription, own, u"scriptletDescription"))
        appendCDataLine(out, 8, "scriptletDescription"_L1, *s.scriptletDescription);
    kept.rest(out);
    out += indent(4) + "</scriptlet>\n\n"_L1;
}

// Items of the lists that stand at the top level (at 4 spaces, followed by an empty line) and in
// sub-datasets (at 8 spaces, without one).
struct Level {
    int spaces;
    QLatin1StringView after;
};
constexpr Level topLevel{4, "\n"_L1};
constexpr Level datasetLevel{8, ""_L1};

void appendParameter(QString &out, const ReportParameter &p, Level level)
{
    const KeptXml &own = p.kept.part({});
    const qsizetype start = openTag(out, level.spaces, "parameter"_L1);
    appendAttr(out, "name"_L1, p.name);
    appendAttr(out, "class"_L1, p.className);
    if (!p.isForPrompting)
        appendRawAttr(out, "isForPrompting"_L1, u"false");
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::parameter, level.spaces + 4);
    kept.before(out, "parameterDescription");
    // An empty description the file spelled out is written back; an absent one stays out.
    if (p.parameterDescription)
        appendCDataLine(out, level.spaces + 4, "parameterDescription"_L1, *p.parameterDescription);
    kept.before(out, "defaultValueExpression");
    if (isWrittenExpression(p.defaultValueExpression, own, u"defaultValueExpression"))
        appendCDataLine(out, level.spaces + 4, "defaultValueExpression"_L1,
                        *p.defaultValueExpression);
    kept.rest(out);
    out += indent(level.spaces) + "</parameter>\n"_L1 + level.after;
}

void appendQuery(QString &out, const QString &query, const QString &language,
                 const KeptParts &keptParts, Level level)
{
    const KeptXml &kept = keptParts.part(u"queryString");
    const bool keptEmpty = kept.present && query.isEmpty();
    if (!hasWritableText(query) && !keptEmpty)
        return;
    const qsizetype start = openTag(out, level.spaces, "queryString"_L1);
    appendAttr(out, "language"_L1, language);
    appendKeptAttributes(out, start, kept);
    if (keptEmpty) {
        out += "/>\n"_L1 + level.after;
        return;
    }
    out += u'>';
    appendCData(out, query);
    out += "</queryString>\n"_L1 + level.after;
}

void appendField(QString &out, const ReportField &f, Level level)
{
    const KeptXml &own = f.kept.part({});
    const qsizetype start = openTag(out, level.spaces, "field"_L1);
    appendAttr(out, "name"_L1, f.name);
    appendAttr(out, "class"_L1, f.className);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::field, level.spaces + 4);
    kept.before(out, "fieldDescription");
    if (f.fieldDescription)
        appendCDataLine(out, level.spaces + 4, "fieldDescription"_L1, *f.fieldDescription);
    kept.rest(out);
    out += indent(level.spaces) + "</field>\n"_L1 + level.after;
}

void appendVariable(QString &out, const ReportVariable &v, Level level)
{
    const KeptXml &own = v.kept.part({});
    const qsizetype start = openTag(out, level.spaces, "variable"_L1);
    appendAttr(out, "name"_L1, v.name);
    appendAttr(out, "class"_L1, v.className);
    appendAttr(out, "resetType"_L1, v.resetType);
    if (!isAbsentOrEmpty(v.resetGroup))
        appendAttr(out, "resetGroup"_L1, *v.resetGroup);
    if (!isAbsentOrEmpty(v.incrementType))
        appendAttr(out, "incrementType"_L1, *v.incrementType);
    if (!isAbsentOrEmpty(v.incrementGroup))
        appendAttr(out, "incrementGroup"_L1, *v.incrementGroup);
    appendAttr(out, "calculation"_L1, v.calculation);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::variable, level.spaces + 4);
    kept.before(out, "variableExpression");
    if (hasWritableText(v.expression) ||
        (v.expression.isEmpty() && own.keepsEmpty(u"variableExpression")))
        appendCDataLine(out, level.spaces + 4, "variableExpression"_L1, v.expression);
    kept.before(out, "initialValueExpression");
    if (isWrittenExpression(v.initialValueExpression, own, u"initialValueExpression"))
        appendCDataLine(out, level.spaces + 4, "initialValueExpression"_L1,
                        *v.initialValueExpression);
    kept.rest(out);
    out += indent(level.spaces) + "</variable>\n"_L1 + level.after;
}

void appendSubDataset(QString &out, const ReportSubDataset &s)
{
    const KeptXml &own = s.kept.part({});
    const qsizetype start = openTag(out, 4, "subDataset"_L1);
    appendAttr(out, "name"_L1, s.name);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::subDataset, 8);
    kept.before(out, "parameter");
    for (const ReportParameter &p : s.parameters)
        appendParameter(out, p, datasetLevel);
    kept.before(out, "queryString");
    appendQuery(out, s.queryString, s.queryLanguage, s.kept, datasetLevel);
    kept.before(out, "field");
    for (const ReportField &f : s.fields)
        appendField(out, f, datasetLevel);
    kept.before(out, "variable");
    for (const ReportVariable &v : s.variables)
        appendVariable(out, v, datasetLevel);
    kept.rest(out);
    out += indent(4) + "</subDataset>\n\n"_L1;
}

void appendSortField(QString &out, const ReportSortField &s)
{
    const KeptXml &own = s.kept.part({});
    const qsizetype start = openTag(out, 4, "sortField"_L1);
    appendAttr(out, "name"_L1, s.name);
    appendRawAttr(out, "order"_L1, rawValue(s.order));
    appendRawAttr(out, "type"_L1, rawValue(s.type));
    appendKeptAttributes(out, start, own);
    closeWithKept(out, 4, "sortField"_L1, own, {}, "\n"_L1);
}

void appendGroup(QString &out, const ReportGroup &g, const QList<ReportStyle> &styles)
{
    const KeptXml &own = g.kept.part({});
    const qsizetype start = openTag(out, 4, "group"_L1);
    appendAttr(out, "name"_L1, g.name);
    appendRawAttr(out, "isStartNewPage"_L1, trueOrFalse(g.isStartNewPage));
    appendRawAttr(out, "isResetPageNumber"_L1, trueOrFalse(g.isResetPageNumber));
    appendTrueFlag(out, "isReprintHeaderOnEachPage"_L1, g.isReprintHeaderOnEachPage);
    appendTrueFlag(out, "keepTogether"_L1, g.isKeepTogether);
    appendTrueFlag(out, "isStartNewColumn"_L1, g.isStartNewColumn);
    if (g.footerPosition != GroupFooterPosition::normal)
        appendRawAttr(out, "footerPosition"_L1, rawValue(g.footerPosition));
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    KeptChildWriter kept(own, tagOrder::group, 8);
    if (!own.leavesOut(u"groupExpression", g.expression))
        appendCDataLine(out, 8, "groupExpression"_L1, g.expression);
    kept.through(out, "groupExpression");
    appendGroupBands(out, g, styles, kept);
    kept.rest(out);
    out += indent(4) + "</group>\n\n"_L1;
}

} // namespace

bool isWrittenScriptlet(const ReportScriptlet &s)
{
    return !std::all_of(s.className.cbegin(), s.className.cend(),
                        [](QChar c) { return c == u' ' || c == u'\t'; });
}

void appendDataDefinitions(QString &out, const ReportDocument &d, KeptChildWriter &rootKept)
{
    // Each section is followed by what the file held of its kind that the model does not.
    const auto section = [&](const char *tag, const auto &write) {
        if (rootKept.before(out, tag))
            out += u'\n';
        write();
        // Children kept after items the writer leaves out (scriptlets without a class) read back
        // as part of the kept children before those items when nothing else stands between
        // them: they are written as part of that run, without the empty line after it.
        const bool joinsRun = rootKept.endsWithRun(out);
        const qsizetype keptAt = out.size();
        if (rootKept.through(out, tag)) {
            if (joinsRun)
                out.remove(keptAt - 1, 1);
            out += u'\n';
        }
    };
    section("template", [&] {
        for (const ReportTemplate &t : d.reportTemplates)
            appendTemplate(out, t);
    });
    section("style", [&] {
        for (const ReportStyle &s : d.styles)
            appendStyle(out, s);
    });
    section("subDataset", [&] {
        for (const ReportSubDataset &s : d.subDatasets)
            appendSubDataset(out, s);
    });
    section("scriptlet", [&] {
        for (const ReportScriptlet &s : d.scriptlets)
            appendScriptlet(out, s);
    });
    section("parameter", [&] {
        for (const ReportParameter &p : d.parameters)
            appendParameter(out, p, topLevel);
    });
    section("queryString",
            [&] { appendQuery(out, d.queryString, d.queryLanguage, d.kept, topLevel); });
    section("field", [&] {
        for (const ReportField &f : d.fields)
            appendField(out, f, topLevel);
    });
    section("sortField", [&] {
        for (const ReportSortField &s : d.sortFields)
            appendSortField(out, s);
    });
    section("variable", [&] {
        for (const ReportVariable &v : d.variables)
            appendVariable(out, v, topLevel);
    });
    section("group", [&] {
        for (const ReportGroup &g : d.groups)
            appendGroup(out, g, d.styles);
    });
}

} // namespace JrxmlCodec
