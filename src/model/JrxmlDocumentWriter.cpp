// The writer of the document frame: header, root attributes, PDF tagging properties and the band
// sections.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

constexpr auto pdfTagged = "net.sf.jasperreports.export.pdf.tagged"_L1;
constexpr auto pdfTagLanguage = "net.sf.jasperreports.export.pdf.tag.language"_L1;

void appendRoot(QString &out, const ReportDocument &d)
{
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"_L1;
    out += "<jasperReport xmlns=\""_L1 + QLatin1StringView(namespaceUri) + "\"\n"_L1;
    out += indent(14) + "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"_L1;
    out += indent(14) + "xsi:schemaLocation=\""_L1 + QLatin1StringView(namespaceUri) +
           " http://jasperreports.sourceforge.net/xsd/jasperreport.xsd\"\n"_L1;
    out += indent(14) + "name=\""_L1 + escaped(d.name) + u'"';
    appendRawAttr(out, "pageWidth"_L1, wholeNumber(d.pageWidth));
    appendRawAttr(out, "pageHeight"_L1, wholeNumber(d.pageHeight));
    appendRawAttr(out, "columnWidth"_L1, wholeNumber(d.columnWidth));
    out += u'\n' + indent(14) + "leftMargin=\""_L1 + wholeNumber(d.leftMargin) + u'"';
    appendRawAttr(out, "rightMargin"_L1, wholeNumber(d.rightMargin));
    appendRawAttr(out, "topMargin"_L1, wholeNumber(d.topMargin));
    appendRawAttr(out, "bottomMargin"_L1, wholeNumber(d.bottomMargin));
    if (d.whenNoDataType != WhenNoDataType::noPages)
        appendRawAttr(out, "whenNoDataType"_L1, rawValue(d.whenNoDataType));
    appendTrueFlag(out, "isFloatColumnFooter"_L1, d.isFloatColumnFooter);
    appendTrueFlag(out, "isSummaryWithPageHeaderAndFooter"_L1, d.isSummaryWithPageHeaderAndFooter);
    appendTrueFlag(out, "isSummaryNewPage"_L1, d.isSummaryNewPage);
    if (d.columnCount != 1)
        appendRawAttr(out, "columnCount"_L1, QString::number(d.columnCount));
    if (d.printOrder == PrintOrder::horizontal)
        appendRawAttr(out, "printOrder"_L1, u"Horizontal");
    if (d.columnSpacing != 0)
        appendRawAttr(out, "columnSpacing"_L1, wholeNumber(d.columnSpacing));
    if (d.language != "java"_L1)
        appendAttr(out, "language"_L1, d.language);
    out += ">\n\n"_L1;
}

void appendProperties(QString &out, const ReportDocument &d)
{
    if (!d.isPdfTagged)
        return;
    out += indent(4) + "<property name=\""_L1 + pdfTagged + "\" value=\"true\"/>\n"_L1;
    if (!d.pdfTagLanguage.isEmpty()) {
        out += indent(4) + "<property name=\""_L1 + pdfTagLanguage + u'"';
        appendAttr(out, "value"_L1, d.pdfTagLanguage);
        out += "/>\n"_L1;
    }
    out += u'\n';
}

// One band: its start line, print-when line, elements and end line.
void appendBand(QString &out, int spaces, double height,
                const std::optional<QString> &printWhenExpression,
                const QList<ReportElement> &elements, const QList<ReportStyle> &styles)
{
    out += indent(spaces) + "<band"_L1;
    appendRawAttr(out, "height"_L1, wholeNumber(height));
    out += ">\n"_L1;
    out += bandPrintWhenXML(printWhenExpression, spaces + 4);
    for (const ReportElement &element : elements)
        appendElement(out, element, styles);
    out += indent(spaces) + "</band>\n"_L1;
}

void appendBands(QString &out, const ReportDocument &d)
{
    for (BandType type : bandDisplayOrder()) {
        const QString tag = rawValue(type);
        if (type == BandType::detail) {
            out += indent(4) + "<detail>\n"_L1;
            for (const ReportBand &band : d.detailBands)
                appendBand(out, 8, band.height, band.printWhenExpression, band.elements, d.styles);
            out += indent(4) + "</detail>\n\n"_L1;
            continue;
        }
        const std::optional<ReportBand> band = d.band(type);
        if (!band || !band->isPresent)
            continue;
        out += indent(4) + u'<' + tag + ">\n"_L1;
        appendBand(out, 8, band->height, band->printWhenExpression, band->elements, d.styles);
        out += indent(4) + "</"_L1 + tag + ">\n\n"_L1;
    }
}

} // namespace

QString bandPrintWhenXML(const std::optional<QString> &expression, int spaces)
{
    QString line;
    if (!isAbsentOrEmpty(expression))
        appendCDataLine(line, spaces, "printWhenExpression"_L1, *expression);
    return line;
}

void appendGroupBands(QString &out, const ReportGroup &group, const QList<ReportStyle> &styles)
{
    out += indent(8) + "<groupHeader>\n"_L1;
    appendBand(out, 12, group.headerHeight, group.headerPrintWhenExpression, group.headerElements,
               styles);
    out += indent(8) + "</groupHeader>\n"_L1 + indent(8) + "<groupFooter>\n"_L1;
    appendBand(out, 12, group.footerHeight, group.footerPrintWhenExpression, group.footerElements,
               styles);
    out += indent(8) + "</groupFooter>\n"_L1;
}

// The imports stand between the properties and the data definitions, as the format orders them.
void appendImports(QString &out, const ReportDocument &d)
{
    if (d.imports.isEmpty())
        return;
    for (const QString &import : d.imports) {
        out += indent(4) + "<import"_L1;
        appendAttr(out, "value"_L1, import);
        out += "/>\n"_L1;
    }
    out += u'\n';
}

void appendDocument(QString &out, const ReportDocument &document)
{
    appendRoot(out, document);
    appendProperties(out, document);
    appendImports(out, document);
    appendDataDefinitions(out, document);
    appendBands(out, document);
    out += "</jasperReport>\n"_L1;
}

} // namespace JrxmlCodec
