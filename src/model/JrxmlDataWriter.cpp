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

void appendTemplate(QString &out, const ReportTemplate &t)
{
    out += indent(4) + "<template"_L1;
    if (t.className != "java.lang.String"_L1)
        appendAttr(out, "class"_L1, t.className);
    out += u'>';
    appendCData(out, t.expression);
    out += "</template>\n\n"_L1;
}

void appendRule(QString &out, const ConditionalStyleRule &r)
{
    out += indent(8) + "<conditionalStyle>\n"_L1;
    appendCDataLine(out, 12, "conditionExpression"_L1, r.conditionExpression);
    out += indent(12) + "<style"_L1;
    if (!isAbsentOrEmpty(r.fontName))
        appendAttr(out, "fontName"_L1, *r.fontName);
    if (r.fontSize)
        appendRawAttr(out, "fontSize"_L1, wholeNumber(*r.fontSize));
    if (r.isBold)
        appendRawAttr(out, "isBold"_L1, trueOrFalse(*r.isBold));
    if (r.isItalic)
        appendRawAttr(out, "isItalic"_L1, trueOrFalse(*r.isItalic));
    if (r.isUnderline)
        appendRawAttr(out, "isUnderline"_L1, trueOrFalse(*r.isUnderline));
    appendColorAttrs(out, r.foreColor, r.backColor);
    out += "/>\n"_L1 + indent(8) + "</conditionalStyle>\n"_L1;
}

void appendStyle(QString &out, const ReportStyle &s)
{
    out += indent(4) + "<style"_L1;
    appendAttr(out, "name"_L1, s.name);
    appendTrueFlag(out, "isDefault"_L1, s.isDefault);
    appendAttr(out, "fontName"_L1, s.fontName);
    appendRawAttr(out, "fontSize"_L1, wholeNumber(s.fontSize));
    appendRawAttr(out, "isBold"_L1, trueOrFalse(s.isBold));
    appendRawAttr(out, "isItalic"_L1, trueOrFalse(s.isItalic));
    appendRawAttr(out, "isUnderline"_L1, trueOrFalse(s.isUnderline));
    if (!isAbsentOrEmpty(s.pdfFontName))
        appendAttr(out, "pdfFontName"_L1, *s.pdfFontName);
    if (!isAbsentOrEmpty(s.pdfEncoding))
        appendAttr(out, "pdfEncoding"_L1, *s.pdfEncoding);
    appendTrueFlag(out, "isPdfEmbedded"_L1, s.isPdfEmbedded);
    if (s.textAlignment != TextAlignment::left)
        appendRawAttr(out, "hAlign"_L1, rawValue(s.textAlignment));
    appendColorAttrs(out, s.foreColor, s.backColor);
    if (s.penWidth == 1.0 && s.conditionalStyles.isEmpty()) {
        out += "/>\n\n"_L1;
        return;
    }
    out += ">\n"_L1;
    if (s.penWidth != 1.0)
        out +=
            indent(8) + "<box><pen lineWidth=\""_L1 + decimalNumber(s.penWidth) + "\"/></box>\n"_L1;
    for (const ConditionalStyleRule &rule : s.conditionalStyles)
        appendRule(out, rule);
    out += indent(4) + "</style>\n\n"_L1;
}

void appendScriptlet(QString &out, const ReportScriptlet &s)
{
    const bool blank = std::all_of(s.className.cbegin(), s.className.cend(),
                                   [](QChar c) { return c == u' ' || c == u'\t'; });
    if (blank)
        return;
    out += indent(4) + "<scriptlet"_L1;
    appendAttr(out, "name"_L1, s.name);
    appendAttr(out, "class"_L1, s.className);
    if (isAbsentOrEmpty(s.scriptletDescription)) {
        out += "/>\n\n"_L1;
        return;
    }
    out += ">\n"_L1;
    appendCDataLine(out, 8, "scriptletDescription"_L1, *s.scriptletDescription);
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
    out += indent(level.spaces) + "<parameter"_L1;
    appendAttr(out, "name"_L1, p.name);
    appendAttr(out, "class"_L1, p.className);
    if (!p.isForPrompting)
        appendRawAttr(out, "isForPrompting"_L1, u"false");
    out += ">\n"_L1;
    if (!isAbsentOrEmpty(p.parameterDescription))
        appendCDataLine(out, level.spaces + 4, "parameterDescription"_L1, *p.parameterDescription);
    if (!isAbsentOrEmpty(p.defaultValueExpression))
        appendCDataLine(out, level.spaces + 4, "defaultValueExpression"_L1,
                        *p.defaultValueExpression);
    out += indent(level.spaces) + "</parameter>\n"_L1 + level.after;
}

void appendQuery(QString &out, const QString &query, const QString &language, Level level)
{
    if (query.isEmpty())
        return;
    out += indent(level.spaces) + "<queryString"_L1;
    appendAttr(out, "language"_L1, language);
    out += u'>';
    appendCData(out, query);
    out += "</queryString>\n"_L1 + level.after;
}

void appendField(QString &out, const ReportField &f, Level level)
{
    out += indent(level.spaces) + "<field"_L1;
    appendAttr(out, "name"_L1, f.name);
    appendAttr(out, "class"_L1, f.className);
    out += ">\n"_L1;
    if (!isAbsentOrEmpty(f.fieldDescription))
        appendCDataLine(out, level.spaces + 4, "fieldDescription"_L1, *f.fieldDescription);
    out += indent(level.spaces) + "</field>\n"_L1 + level.after;
}

void appendVariable(QString &out, const ReportVariable &v, Level level)
{
    out += indent(level.spaces) + "<variable"_L1;
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
    out += ">\n"_L1;
    if (!v.expression.isEmpty())
        appendCDataLine(out, level.spaces + 4, "variableExpression"_L1, v.expression);
    if (!isAbsentOrEmpty(v.initialValueExpression))
        appendCDataLine(out, level.spaces + 4, "initialValueExpression"_L1,
                        *v.initialValueExpression);
    out += indent(level.spaces) + "</variable>\n"_L1 + level.after;
}

void appendSubDataset(QString &out, const ReportSubDataset &s)
{
    out += indent(4) + "<subDataset"_L1;
    appendAttr(out, "name"_L1, s.name);
    out += ">\n"_L1;
    for (const ReportParameter &p : s.parameters)
        appendParameter(out, p, datasetLevel);
    appendQuery(out, s.queryString, s.queryLanguage, datasetLevel);
    for (const ReportField &f : s.fields)
        appendField(out, f, datasetLevel);
    for (const ReportVariable &v : s.variables)
        appendVariable(out, v, datasetLevel);
    out += indent(4) + "</subDataset>\n\n"_L1;
}

void appendSortField(QString &out, const ReportSortField &s)
{
    out += indent(4) + "<sortField"_L1;
    appendAttr(out, "name"_L1, s.name);
    appendRawAttr(out, "order"_L1, rawValue(s.order));
    appendRawAttr(out, "type"_L1, rawValue(s.type));
    out += "/>\n\n"_L1;
}

void appendGroup(QString &out, const ReportGroup &g, const QList<ReportStyle> &styles)
{
    out += indent(4) + "<group"_L1;
    appendAttr(out, "name"_L1, g.name);
    appendRawAttr(out, "isStartNewPage"_L1, trueOrFalse(g.isStartNewPage));
    appendRawAttr(out, "isResetPageNumber"_L1, trueOrFalse(g.isResetPageNumber));
    appendTrueFlag(out, "isReprintHeaderOnEachPage"_L1, g.isReprintHeaderOnEachPage);
    appendTrueFlag(out, "keepTogether"_L1, g.isKeepTogether);
    appendTrueFlag(out, "isStartNewColumn"_L1, g.isStartNewColumn);
    if (g.footerPosition != GroupFooterPosition::normal)
        appendRawAttr(out, "footerPosition"_L1, rawValue(g.footerPosition));
    out += ">\n"_L1;
    appendCDataLine(out, 8, "groupExpression"_L1, g.expression);
    appendGroupBands(out, g, styles);
    out += indent(4) + "</group>\n\n"_L1;
}

} // namespace

void appendDataDefinitions(QString &out, const ReportDocument &d)
{
    for (const ReportTemplate &t : d.reportTemplates)
        appendTemplate(out, t);
    for (const ReportStyle &s : d.styles)
        appendStyle(out, s);
    for (const ReportSubDataset &s : d.subDatasets)
        appendSubDataset(out, s);
    for (const ReportScriptlet &s : d.scriptlets)
        appendScriptlet(out, s);
    for (const ReportParameter &p : d.parameters)
        appendParameter(out, p, topLevel);
    appendQuery(out, d.queryString, d.queryLanguage, topLevel);
    for (const ReportField &f : d.fields)
        appendField(out, f, topLevel);
    for (const ReportSortField &s : d.sortFields)
        appendSortField(out, s);
    for (const ReportVariable &v : d.variables)
        appendVariable(out, v, topLevel);
    for (const ReportGroup &g : d.groups)
        appendGroup(out, g, d.styles);
}

} // namespace JrxmlCodec
