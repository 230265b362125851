// The writer of the document frame: header, root attributes, PDF tagging properties and the band
// sections.

#include "AbsentSections.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"
#include "PageLayout.h"

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

// Drops the lines of the start tag that the attributes the file left out have emptied.
void dropEmptyLines(QString &out, qsizetype tagStart)
{
    qsizetype lineStart = out.indexOf(u'\n', tagStart);
    while (lineStart >= 0) {
        const qsizetype next = out.indexOf(u'\n', lineStart + 1);
        const qsizetype end = next < 0 ? out.size() : next;
        const QStringView line = QStringView(out).mid(lineStart + 1, end - lineStart - 1);
        if (line.trimmed().isEmpty()) {
            out.remove(lineStart, end - lineStart);
            lineStart = next < 0 ? -1 : lineStart;
        } else {
            lineStart = next;
        }
    }
}

} // namespace

// A spacing below half a point is written as 0, which is what a file without one gives: it is
// left out, so that the text written reads back as what it was written from.
bool isWrittenColumnSpacing(double spacing)
{
    return wholeNumber(spacing) != "0"_L1;
}

namespace {

void appendRoot(QString &out, const ReportDocument &d)
{
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"_L1;
    // What stood before the root in the file (a document type, comments) stands there again.
    for (const KeptXml::Child &node : d.kept.part(u"prolog").children)
        out += node.xml + u'\n';
    const qsizetype start = out.size();
    out += "<jasperReport xmlns=\""_L1 + QLatin1StringView(namespaceUri) + "\"\n"_L1;
    out += indent(14) + "xmlns:xsi=\""_L1 + QLatin1StringView(schemaInstanceUri) + "\"\n"_L1;
    out += indent(14) + "xsi:schemaLocation=\""_L1 + QLatin1StringView(schemaLocation) + "\"\n"_L1;
    out += indent(14) + "name=\""_L1 + escaped(d.name) + u'"';
    appendWholeNumberAttr(out, "pageWidth"_L1, d.pageWidth);
    appendWholeNumberAttr(out, "pageHeight"_L1, d.pageHeight);
    appendWholeNumberAttr(out, "columnWidth"_L1, PageLayout::writtenColumnWidth(d));
    out += u'\n' + indent(14) + "leftMargin=\""_L1 + wholeNumber(d.leftMargin) + u'"';
    appendWholeNumberAttr(out, "rightMargin"_L1, d.rightMargin);
    appendWholeNumberAttr(out, "topMargin"_L1, d.topMargin);
    appendWholeNumberAttr(out, "bottomMargin"_L1, d.bottomMargin);
    if (d.whenNoDataType != WhenNoDataType::noPages)
        appendRawAttr(out, "whenNoDataType"_L1, rawValue(d.whenNoDataType));
    appendTrueFlag(out, "isFloatColumnFooter"_L1, d.isFloatColumnFooter);
    appendTrueFlag(out, "isSummaryWithPageHeaderAndFooter"_L1, d.isSummaryWithPageHeaderAndFooter);
    appendTrueFlag(out, "isSummaryNewPage"_L1, d.isSummaryNewPage);
    if (d.columnCount != 1)
        appendRawAttr(out, "columnCount"_L1, QString::number(d.columnCount));
    if (d.printOrder == PrintOrder::horizontal)
        appendRawAttr(out, "printOrder"_L1, u"Horizontal");
    if (isWrittenColumnSpacing(d.columnSpacing))
        appendWholeNumberAttr(out, "columnSpacing"_L1, d.columnSpacing);
    if (d.language != "java"_L1)
        appendAttr(out, "language"_L1, d.language);
    appendKeptAttributes(out, start, d.kept.part({}));
    dropEmptyLines(out, start);
    // Without the namespace declarations the first attribute stands on the first line.
    if (QStringView(out).sliced(start).startsWith(u"<jasperReport\n")) {
        const qsizetype lineEnd = start + 13;
        out.replace(lineEnd, 1 + 14, u' ');
    }
    out += ">\n\n"_L1;
}

// The root's kept children without the PDF tagging properties, and whether the document's
// tagging is still what those properties said when the file was read.
bool withoutTaggingProperties(const ReportDocument &d, KeptXml &kept)
{
    bool tagged = false;
    QString language = u"en-US"_s;
    kept = d.kept.part({});
    kept.children.removeIf([&](const KeptXml::Child &child) {
        pugi::xml_document xml;
        return child.xml.startsWith("<property"_L1) && loadKept(xml, child.xml) &&
               is(xml.document_element().name(), "property") &&
               readTaggingProperty(xml.document_element(), tagged, language);
    });
    return d.isPdfTagged == tagged && d.pdfTagLanguage == language;
}

void appendProperties(QString &out, const ReportDocument &d)
{
    if (!d.isPdfTagged)
        return;
    out += indent(4) + "<property name=\""_L1 + QLatin1StringView(pdfTagged) +
           "\" value=\"true\"/>\n"_L1;
    // An empty language is written too, so that it reads back as itself.
    out += indent(4) + "<property name=\""_L1 + QLatin1StringView(pdfTagLanguage) + u'"';
    appendAttr(out, "value"_L1, d.pdfTagLanguage);
    out += "/>\n"_L1;
    out += u'\n';
}

// One band: its start line, print-when line, elements and end line, with what the file held
// besides.
void appendBand(QString &out, int spaces, double height,
                const std::optional<QString> &printWhenExpression, const ElementList &elements,
                const QList<ReportStyle> &styles, const KeptXml &keptBand)
{
    const qsizetype start = openTag(out, spaces, "band"_L1);
    appendWholeNumberAttr(out, "height"_L1, height);
    appendKeptAttributes(out, start, keptBand);
    out += ">\n"_L1;
    KeptChildWriter kept(keptBand, tagOrder::band, spaces + 4);
    kept.before(out, "printWhenExpression");
    out += bandPrintWhenXML(printWhenExpression, spaces + 4);
    kept.through(out, "printWhenExpression");
    appendElements(out, elements, styles, &keptBand);
    kept.rest(out);
    out += indent(spaces) + "</band>\n"_L1;
}

void appendBand(QString &out, int spaces, const ReportBand &band, const QList<ReportStyle> &styles)
{
    appendBand(out, spaces, band.height, band.printWhenExpression, band.elements, styles,
               band.kept.part({}));
}

// A section's start tag, with the attributes the file gave it.
void appendSectionStart(QString &out, int spaces, QLatin1StringView tag, const KeptXml &kept)
{
    const qsizetype start = openTag(out, spaces, tag);
    appendKeptAttributes(out, start, kept);
    out += ">\n"_L1;
}

void appendDetail(QString &out, const ReportDocument &d)
{
    const KeptXml &section = d.kept.part(u"detail");
    const bool absent = AbsentSections::isDetailLeftOut(d);
    if (absent && section.isEmpty())
        return;
    appendSectionStart(out, 4, "detail"_L1, section);
    if (!absent) {
        for (const ReportBand &band : d.detailBands)
            appendBand(out, 8, band, d.styles);
    }
    KeptChildWriter(section, tagOrder::section, 8).rest(out);
    out += indent(4) + "</detail>\n\n"_L1;
}

void appendBands(QString &out, const ReportDocument &d, KeptChildWriter &rootKept)
{
    for (BandType type : bandDisplayOrder()) {
        const QString tag = rawValue(type);
        const QByteArray tagName = tag.toLatin1();
        if (rootKept.before(out, tagName.constData()))
            out += u'\n';
        if (type == BandType::detail) {
            appendDetail(out, d);
        } else if (const ReportBand *band = d.findBand(type);
                   band && (band->isPresent || band->kept.part(u"section").present)) {
            // A hidden band whose section the file had without a band: the section as it was.
            const KeptXml &section = band->kept.part(u"section");
            appendSectionStart(out, 4, QLatin1StringView(tagName), section);
            if (band->isPresent)
                appendBand(out, 8, *band, d.styles);
            KeptChildWriter(section, tagOrder::section, 8).rest(out);
            out += indent(4) + "</"_L1 + tag + ">\n\n"_L1;
        }
        if (rootKept.through(out, tagName.constData()))
            out += u'\n';
    }
    if (rootKept.rest(out))
        out += u'\n';
}

// A group's header or footer section, left out while the file had none and it is unchanged.
void appendGroupSection(QString &out, QLatin1StringView tag, const ReportGroup &group,
                        bool isFooter, const QList<ReportStyle> &styles)
{
    const double height = isFooter ? group.footerHeight : group.headerHeight;
    const ElementList &elements = isFooter ? group.footerElements : group.headerElements;
    const std::optional<QString> &printWhen =
        isFooter ? group.footerPrintWhenExpression : group.headerPrintWhenExpression;
    const KeptXml &band = group.kept.part(isFooter ? u"groupFooter/band" : u"groupHeader/band");
    const KeptXml &section = group.kept.part(isFooter ? u"groupFooter" : u"groupHeader");
    const bool leftOut = isFooter ? AbsentSections::isGroupFooterLeftOut(group)
                                  : AbsentSections::isGroupHeaderLeftOut(group);
    if (leftOut && section.isEmpty())
        return;
    appendSectionStart(out, 8, tag, section);
    if (!leftOut)
        appendBand(out, 12, height, printWhen, elements, styles, band);
    KeptChildWriter(section, tagOrder::section, 12).rest(out);
    out += indent(8) + "</"_L1 + tag + ">\n"_L1;
}

} // namespace

QString bandPrintWhenXML(const std::optional<QString> &expression, int spaces)
{
    QString line;
    if (!isAbsentOrEmpty(expression))
        appendCDataLine(line, spaces, "printWhenExpression"_L1, *expression);
    return line;
}

void appendGroupBands(QString &out, const ReportGroup &group, const QList<ReportStyle> &styles,
                      KeptChildWriter &groupKept)
{
    groupKept.before(out, "groupHeader");
    appendGroupSection(out, "groupHeader"_L1, group, false, styles);
    groupKept.through(out, "groupHeader");
    appendGroupSection(out, "groupFooter"_L1, group, true, styles);
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
    // Tagging as the file had it is written as the file had it, in its place among the
    // properties; once the user changes it, the writer's own properties replace the file's.
    KeptXml withoutTagging;
    const bool isTaggingAsRead = withoutTaggingProperties(document, withoutTagging);
    if (!isTaggingAsRead)
        appendProperties(out, document);
    KeptChildWriter rootKept(isTaggingAsRead ? document.kept.part({}) : withoutTagging,
                             tagOrder::root, 4);
    if (rootKept.through(out, "property"))
        out += u'\n';
    appendImports(out, document);
    if (rootKept.through(out, "import"))
        out += u'\n';
    appendDataDefinitions(out, document, rootKept);
    appendBands(out, document, rootKept);
    out += "</jasperReport>\n"_L1;
    for (const KeptXml::Child &node : document.kept.part(u"epilog").children)
        out += node.xml + u'\n';
}

} // namespace JrxmlCodec
