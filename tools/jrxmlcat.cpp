// jrxmlcat: reads and writes JRXML with the report codec, for tests and benchmarks.
//
//   jrxmlcat roundtrip FILE    the file read and written again, on standard output
//   jrxmlcat dump FILE         the report read from the file as JSON, without identifiers
//   jrxmlcat values FILE       the values the designer reads, in the lines the engine's
//                              `read-values` command prints for the same file
//   jrxmlcat warnings FILE     what the reader did not keep, one line each
//   jrxmlcat snippet-out FILE  the snippet text of every top-level element of the report
//   jrxmlcat snippet-in        the first element of the snippet text on standard input, as JSON
//   jrxmlcat canonical FILE    what a no-edit save changes in canonical form (elements, attributes,
//                              texts), one difference a line, then the counts; exit status 3
//                              when anything changes
//
// FILE may be "-" for standard input. Errors go to standard error with exit status 1.

#include "CanonicalDiff.h"
#include "ModelValues.h"
#include "model/JrxmlCodec.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace {

QJsonValue text(const std::optional<QString> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonValue color(const std::optional<ElementColor> &value)
{
    return value ? QJsonValue(value->hex) : QJsonValue();
}

QJsonValue number(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonValue flag(const std::optional<bool> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonValue pen(const std::optional<BoxSidePen> &value)
{
    if (!value)
        return {};
    return QJsonObject{{QStringLiteral("width"), value->width},
                       {QStringLiteral("color"), color(value->color)},
                       {QStringLiteral("style"), rawValue(value->style)}};
}

QJsonArray parameters(const QList<SubreportParameter> &list)
{
    QJsonArray out;
    for (const SubreportParameter &p : list)
        out.append(QJsonObject{{QStringLiteral("name"), p.name},
                               {QStringLiteral("expression"), p.expression}});
    return out;
}

QJsonValue element(const ReportElement &e);

QJsonArray elements(const QList<ReportElement> &list)
{
    QJsonArray out;
    for (const ReportElement &e : list)
        out.append(element(e));
    return out;
}

QJsonValue cellElement(const SharedOptional<ReportElement> &value)
{
    return value ? element(*value) : QJsonValue();
}

QJsonObject formatting(const TableCellFormatting &f)
{
    return {{QStringLiteral("styleName"), text(f.styleName)},
            {QStringLiteral("boxPenWidth"), number(f.boxPenWidth)},
            {QStringLiteral("boxPenColor"), color(f.boxPenColor)}};
}

QJsonObject column(const ReportTableColumn &c)
{
    return {{QStringLiteral("width"), c.width},
            {QStringLiteral("columnHeaderHeight"), c.columnHeaderHeight},
            {QStringLiteral("columnHeaderElement"), cellElement(c.columnHeaderElement)},
            {QStringLiteral("columnHeaderFormatting"), formatting(c.columnHeaderFormatting)},
            {QStringLiteral("detailCellHeight"), c.detailCellHeight},
            {QStringLiteral("detailCellElement"), cellElement(c.detailCellElement)},
            {QStringLiteral("detailCellFormatting"), formatting(c.detailCellFormatting)},
            {QStringLiteral("columnFooterHeight"), c.columnFooterHeight},
            {QStringLiteral("columnFooterElement"), cellElement(c.columnFooterElement)},
            {QStringLiteral("columnFooterFormatting"), formatting(c.columnFooterFormatting)}};
}

QJsonObject kind(const ElementKind &k)
{
    using K = ElementKind;
    QJsonObject o{{QStringLiteral("kind"), k.displayName()}};
    if (const auto *p = k.as<K::StaticText>())
        o[QStringLiteral("text")] = p->text;
    else if (const auto *p = k.as<K::TextField>())
        o[QStringLiteral("expression")] = p->expression;
    else if (const auto *p = k.as<K::Image>())
        o[QStringLiteral("expression")] = p->expression;
    else if (const auto *p = k.as<K::Subreport>()) {
        o[QStringLiteral("expression")] = p->expression;
        o[QStringLiteral("connectionExpression")] = text(p->connectionExpression);
        o[QStringLiteral("dataSourceExpression")] = text(p->dataSourceExpression);
        o[QStringLiteral("parameters")] = parameters(p->parameters);
    } else if (const auto *p = k.as<K::Frame>()) {
        o[QStringLiteral("children")] = elements(p->children);
    } else if (const auto *p = k.as<K::List>()) {
        o[QStringLiteral("datasetName")] = p->datasetName;
        o[QStringLiteral("connectionExpression")] = p->connectionExpression;
        o[QStringLiteral("printOrder")] = rawValue(p->printOrder);
        o[QStringLiteral("parameters")] = parameters(p->parameters);
        o[QStringLiteral("children")] = elements(p->children);
    } else if (const auto *p = k.as<K::Table>()) {
        o[QStringLiteral("datasetName")] = p->datasetName;
        o[QStringLiteral("connectionExpression")] = p->connectionExpression;
        o[QStringLiteral("parameters")] = parameters(p->parameters);
        QJsonArray columns;
        for (const ReportTableColumn &c : p->columns)
            columns.append(column(c));
        o[QStringLiteral("columns")] = columns;
    } else if (const auto *p = k.as<K::Chart>()) {
        o[QStringLiteral("chartAttrs")] = p->chartAttrs;
        o[QStringLiteral("chartBodyXML")] = p->chartBodyXML;
        o[QStringLiteral("siblingXML")] = p->siblingXML;
    } else if (const auto *p = k.as<K::Crosstab>()) {
        o[QStringLiteral("crosstabAttrs")] = p->crosstabAttrs;
        o[QStringLiteral("bodyXML")] = p->bodyXML;
    } else if (const auto *p = k.as<K::ComponentPlaceholder>()) {
        o[QStringLiteral("componentXML")] = p->componentXML;
    } else if (const auto *p = k.as<K::GenericElement>()) {
        o[QStringLiteral("elementAttrs")] = p->elementAttrs;
        o[QStringLiteral("bodyXML")] = p->bodyXML;
    }
    return o;
}

QJsonValue element(const ReportElement &e)
{
    QJsonObject o = kind(e.kind);
    const std::pair<const char *, QJsonValue> fields[] = {
        {"styleName", text(e.styleName)},
        {"x", e.x},
        {"y", e.y},
        {"width", e.width},
        {"height", e.height},
        {"fontName", e.fontName},
        {"fontSize", e.fontSize},
        {"isBold", e.isBold},
        {"isItalic", e.isItalic},
        {"isUnderline", e.isUnderline},
        {"textAlignment", rawValue(e.textAlignment)},
        {"verticalAlignment", rawValue(e.verticalAlignment)},
        {"foreColor", color(e.foreColor)},
        {"backColor", color(e.backColor)},
        {"penWidth", e.penWidth},
        {"pdfFontName", text(e.pdfFontName)},
        {"pdfEncoding", text(e.pdfEncoding)},
        {"isPdfEmbedded", e.isPdfEmbedded},
        {"markup", text(e.markup)},
        {"evaluationTime", e.evaluationTime},
        {"evaluationGroup", text(e.evaluationGroup)},
        {"pattern", text(e.pattern)},
        {"isBlankWhenNull", e.isBlankWhenNull},
        {"stretchType", rawValue(e.stretchType)},
        {"positionType", rawValue(e.positionType)},
        {"textAdjust", e.textAdjust ? QJsonValue(rawValue(*e.textAdjust)) : QJsonValue()},
        {"printWhenExpression", text(e.printWhenExpression)},
        {"hyperlinkExpression", text(e.hyperlinkExpression)},
        {"padding", QJsonArray{e.paddingLeft, e.paddingRight, e.paddingTop, e.paddingBottom}},
        {"topPen", pen(e.topPen)},
        {"leftPen", pen(e.leftPen)},
        {"bottomPen", pen(e.bottomPen)},
        {"rightPen", pen(e.rightPen)},
        {"isUsingCache", e.isUsingCache},
        {"runToBottom", e.runToBottom},
        {"overflowType", text(e.overflowType)},
        {"tableWhenNoDataType",
         e.tableWhenNoDataType ? QJsonValue(rawValue(*e.tableWhenNoDataType)) : QJsonValue()},
    };
    for (const auto &[name, value] : fields)
        o[QString::fromLatin1(name)] = value;
    return o;
}

QJsonObject band(const ReportBand &b)
{
    return {{QStringLiteral("type"), rawValue(b.type)},
            {QStringLiteral("height"), b.height},
            {QStringLiteral("isPresent"), b.isPresent},
            {QStringLiteral("printWhenExpression"), text(b.printWhenExpression)},
            {QStringLiteral("elements"), elements(b.elements)}};
}

QJsonArray dataParameters(const QList<ReportParameter> &list)
{
    QJsonArray out;
    for (const ReportParameter &p : list)
        out.append(QJsonObject{
            {QStringLiteral("name"), p.name},
            {QStringLiteral("className"), p.className},
            {QStringLiteral("isForPrompting"), p.isForPrompting},
            {QStringLiteral("parameterDescription"), text(p.parameterDescription)},
            {QStringLiteral("defaultValueExpression"), text(p.defaultValueExpression)}});
    return out;
}

QJsonArray fields(const QList<ReportField> &list)
{
    QJsonArray out;
    for (const ReportField &f : list)
        out.append(QJsonObject{{QStringLiteral("name"), f.name},
                               {QStringLiteral("className"), f.className},
                               {QStringLiteral("fieldDescription"), text(f.fieldDescription)}});
    return out;
}

QJsonArray variables(const QList<ReportVariable> &list)
{
    QJsonArray out;
    for (const ReportVariable &v : list)
        out.append(QJsonObject{
            {QStringLiteral("name"), v.name},
            {QStringLiteral("className"), v.className},
            {QStringLiteral("calculation"), v.calculation},
            {QStringLiteral("resetType"), v.resetType},
            {QStringLiteral("resetGroup"), text(v.resetGroup)},
            {QStringLiteral("incrementType"), text(v.incrementType)},
            {QStringLiteral("incrementGroup"), text(v.incrementGroup)},
            {QStringLiteral("expression"), v.expression},
            {QStringLiteral("initialValueExpression"), text(v.initialValueExpression)}});
    return out;
}

QJsonObject style(const ReportStyle &s)
{
    QJsonArray rules;
    for (const ConditionalStyleRule &r : s.conditionalStyles)
        rules.append(QJsonObject{{QStringLiteral("conditionExpression"), r.conditionExpression},
                                 {QStringLiteral("fontName"), text(r.fontName)},
                                 {QStringLiteral("fontSize"), number(r.fontSize)},
                                 {QStringLiteral("isBold"), flag(r.isBold)},
                                 {QStringLiteral("isItalic"), flag(r.isItalic)},
                                 {QStringLiteral("isUnderline"), flag(r.isUnderline)},
                                 {QStringLiteral("foreColor"), color(r.foreColor)},
                                 {QStringLiteral("backColor"), color(r.backColor)}});
    return {{QStringLiteral("name"), s.name},
            {QStringLiteral("isDefault"), s.isDefault},
            {QStringLiteral("fontName"), s.fontName},
            {QStringLiteral("fontSize"), s.fontSize},
            {QStringLiteral("isBold"), s.isBold},
            {QStringLiteral("isItalic"), s.isItalic},
            {QStringLiteral("isUnderline"), s.isUnderline},
            {QStringLiteral("textAlignment"), rawValue(s.textAlignment)},
            {QStringLiteral("foreColor"), color(s.foreColor)},
            {QStringLiteral("backColor"), color(s.backColor)},
            {QStringLiteral("penWidth"), s.penWidth},
            {QStringLiteral("pdfFontName"), text(s.pdfFontName)},
            {QStringLiteral("pdfEncoding"), text(s.pdfEncoding)},
            {QStringLiteral("isPdfEmbedded"), s.isPdfEmbedded},
            {QStringLiteral("conditionalStyles"), rules}};
}

QJsonObject document(const ReportDocument &d)
{
    QJsonObject o{
        {QStringLiteral("name"), d.name},
        {QStringLiteral("page"), QJsonArray{d.pageWidth, d.pageHeight, d.columnWidth}},
        {QStringLiteral("margins"),
         QJsonArray{d.leftMargin, d.rightMargin, d.topMargin, d.bottomMargin}},
        {QStringLiteral("language"), d.language},
        {QStringLiteral("isPdfTagged"), d.isPdfTagged},
        {QStringLiteral("pdfTagLanguage"), d.pdfTagLanguage},
        {QStringLiteral("whenNoDataType"), rawValue(d.whenNoDataType)},
        {QStringLiteral("isFloatColumnFooter"), d.isFloatColumnFooter},
        {QStringLiteral("isSummaryWithPageHeaderAndFooter"), d.isSummaryWithPageHeaderAndFooter},
        {QStringLiteral("isSummaryNewPage"), d.isSummaryNewPage},
        {QStringLiteral("columnCount"), qint64(d.columnCount)},
        {QStringLiteral("printOrder"), rawValue(d.printOrder)},
        {QStringLiteral("columnSpacing"), d.columnSpacing},
        {QStringLiteral("queryString"), d.queryString},
        {QStringLiteral("queryLanguage"), d.queryLanguage},
        {QStringLiteral("parameters"), dataParameters(d.parameters)},
        {QStringLiteral("fields"), fields(d.fields)},
        {QStringLiteral("variables"), variables(d.variables)}};
    QJsonArray templates, styles, datasets, scriptlets, sortFields, groups, bands, details;
    for (const ReportTemplate &t : d.reportTemplates)
        templates.append(QJsonObject{{QStringLiteral("expression"), t.expression},
                                     {QStringLiteral("className"), t.className}});
    for (const ReportStyle &s : d.styles)
        styles.append(style(s));
    for (const ReportSubDataset &s : d.subDatasets)
        datasets.append(QJsonObject{{QStringLiteral("name"), s.name},
                                    {QStringLiteral("parameters"), dataParameters(s.parameters)},
                                    {QStringLiteral("queryString"), s.queryString},
                                    {QStringLiteral("queryLanguage"), s.queryLanguage},
                                    {QStringLiteral("fields"), fields(s.fields)},
                                    {QStringLiteral("variables"), variables(s.variables)}});
    for (const ReportScriptlet &s : d.scriptlets)
        scriptlets.append(
            QJsonObject{{QStringLiteral("name"), s.name},
                        {QStringLiteral("className"), s.className},
                        {QStringLiteral("scriptletDescription"), text(s.scriptletDescription)}});
    for (const ReportSortField &s : d.sortFields)
        sortFields.append(QJsonObject{{QStringLiteral("name"), s.name},
                                      {QStringLiteral("order"), rawValue(s.order)},
                                      {QStringLiteral("type"), rawValue(s.type)}});
    for (const ReportGroup &g : d.groups)
        groups.append(
            QJsonObject{{QStringLiteral("name"), g.name},
                        {QStringLiteral("expression"), g.expression},
                        {QStringLiteral("flags"), QJsonArray{g.isStartNewPage, g.isResetPageNumber,
                                                             g.isReprintHeaderOnEachPage,
                                                             g.isKeepTogether, g.isStartNewColumn}},
                        {QStringLiteral("footerPosition"), rawValue(g.footerPosition)},
                        {QStringLiteral("header"), band({{},
                                                         BandType::detail,
                                                         g.headerHeight,
                                                         g.headerElements,
                                                         true,
                                                         g.headerPrintWhenExpression})},
                        {QStringLiteral("footer"), band({{},
                                                         BandType::detail,
                                                         g.footerHeight,
                                                         g.footerElements,
                                                         true,
                                                         g.footerPrintWhenExpression})}});
    for (const ReportBand &b : d.bands)
        bands.append(band(b));
    for (const ReportBand &b : d.detailBands)
        details.append(band(b));
    o[QStringLiteral("reportTemplates")] = templates;
    o[QStringLiteral("styles")] = styles;
    o[QStringLiteral("subDatasets")] = datasets;
    o[QStringLiteral("scriptlets")] = scriptlets;
    o[QStringLiteral("sortFields")] = sortFields;
    o[QStringLiteral("groups")] = groups;
    o[QStringLiteral("bands")] = bands;
    o[QStringLiteral("detailBands")] = details;
    return o;
}

void print(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void printJson(const QJsonValue &value)
{
    const QJsonDocument doc =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    print(stdout, doc.toJson(QJsonDocument::Indented));
}

QByteArray readInput(const QString &path)
{
    QFile file;
    const bool opened = path == QStringLiteral("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw std::runtime_error("cannot read " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
    return file.readAll();
}

// Every top-level element, in the order the file holds them.
QList<ReportElement> topLevelElements(const ReportDocument &d)
{
    QList<ReportElement> out;
    for (const ReportGroup &g : d.groups)
        out << g.headerElements << g.footerElements;
    for (BandType type : bandDisplayOrder()) {
        if (type == BandType::detail) {
            for (const ReportBand &b : d.detailBands)
                out << b.elements;
        } else if (const std::optional<ReportBand> b = d.band(type); b && b->isPresent) {
            out << b->elements;
        }
    }
    return out;
}

int run(const QString &command, const QString &path)
{
    if (command == QStringLiteral("snippet-in")) {
        const std::optional<ReportElement> e =
            JrxmlCodec::parseSnippet(QString::fromUtf8(readInput(QStringLiteral("-"))));
        if (!e)
            throw std::runtime_error("the snippet holds no element");
        printJson(element(*e));
        return 0;
    }
    QStringList notes;
    const QByteArray input = readInput(path);
    const ReportDocument doc = JrxmlCodec::parse(input, &notes);
    if (command == QStringLiteral("roundtrip")) {
        QStringList diagnostics;
        print(stdout, JrxmlCodec::serialize(doc, &diagnostics));
        for (const QString &line : diagnostics)
            print(stderr, line.toUtf8() + '\n');
    } else if (command == QStringLiteral("dump")) {
        printJson(document(doc));
    } else if (command == QStringLiteral("values")) {
        print(stdout, modelvalues::describe(doc).toUtf8());
    } else if (command == QStringLiteral("warnings")) {
        for (const QString &line : notes)
            print(stdout, line.toUtf8() + '\n');
    } else if (command == QStringLiteral("snippet-out")) {
        for (const ReportElement &e : topLevelElements(doc))
            print(stdout, JrxmlCodec::serializeElement(e, {}).toUtf8());
    } else if (command == QStringLiteral("canonical")) {
        const QList<canonicaldiff::Difference> differences =
            canonicaldiff::compare(input, JrxmlCodec::serialize(doc));
        for (const canonicaldiff::Difference &d : differences)
            print(stdout, canonicaldiff::describe(d).toUtf8() + '\n');
        print(stdout, canonicaldiff::describe(canonicaldiff::count(differences)).toUtf8() + '\n');
        return differences.isEmpty() ? 0 : 3;
    } else {
        throw std::runtime_error("unknown command " + command.toStdString());
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (command.isEmpty() || (command != QStringLiteral("snippet-in") && path.isEmpty())) {
        std::fputs("usage: jrxmlcat roundtrip|dump|values|warnings|snippet-out|canonical FILE\n"
                   "       jrxmlcat snippet-in < FRAGMENT\n",
                   stderr);
        return 2;
    }
    try {
        return run(command, path);
    } catch (const JrxmlCodecError &error) {
        print(stderr, error.message().toUtf8() + '\n');
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    return 1;
}
