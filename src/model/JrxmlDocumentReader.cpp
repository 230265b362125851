// The reader of the document frame: root attributes, PDF tagging properties and the band
// sections. Sections are looked up by name, in any order; content that is not kept is noted.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <cstring>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

constexpr char pdfTagged[] = "net.sf.jasperreports.export.pdf.tagged";
constexpr char pdfTagLanguage[] = "net.sf.jasperreports.export.pdf.tag.language";

void readRoot(pugi::xml_node root, ReportDocument &d)
{
    d.name = attrTextOr(root, "name", u"report"_s);
    d.pageWidth = doubleAttr(root, "pageWidth").value_or(595);
    d.pageHeight = doubleAttr(root, "pageHeight").value_or(842);
    d.columnWidth = doubleAttr(root, "columnWidth").value_or(535);
    d.leftMargin = doubleAttr(root, "leftMargin").value_or(20);
    d.rightMargin = doubleAttr(root, "rightMargin").value_or(20);
    d.topMargin = doubleAttr(root, "topMargin").value_or(20);
    d.bottomMargin = doubleAttr(root, "bottomMargin").value_or(20);
    d.whenNoDataType =
        enumAttr<WhenNoDataType>(root, "whenNoDataType").value_or(WhenNoDataType::noPages);
    d.isFloatColumnFooter = isTrue(root, "isFloatColumnFooter");
    d.isSummaryWithPageHeaderAndFooter = isTrue(root, "isSummaryWithPageHeaderAndFooter");
    d.isSummaryNewPage = isTrue(root, "isSummaryNewPage");
    d.columnCount = toInteger(root.attribute("columnCount").value()).value_or(1);
    d.printOrder = enumAttr<PrintOrder>(root, "printOrder").value_or(PrintOrder::vertical);
    d.columnSpacing = doubleAttr(root, "columnSpacing").value_or(0);
    d.language = attrTextOr(root, "language", u"java"_s);
    // Read by the data definitions; these are their values when the file has none.
    d.queryString.clear();
    d.queryLanguage = u"sql"_s;
    d.isPdfTagged = false;
    d.pdfTagLanguage = u"en-US"_s;
}

// Whether the property is one the document keeps.
bool readProperty(pugi::xml_node property, ReportDocument &d)
{
    const pugi::xml_attribute name = property.attribute("name");
    if (!name)
        return false;
    const char *value = property.attribute("value").value();
    if (is(name.value(), pdfTagged)) {
        d.isPdfTagged = is(value, "true");
        return true;
    }
    if (is(name.value(), pdfTagLanguage)) {
        d.pdfTagLanguage = QString::fromUtf8(value);
        return true;
    }
    return false;
}

// A band's height, elements and print-when expression; every other child of the band holder
// after the first band is noted as not kept.
struct BandForm {
    double height = 20;
    QList<ReportElement> elements;
    std::optional<QString> printWhenExpression;
};

BandForm readBandForm(pugi::xml_node band, double defaultHeight, JrxmlReadContext &context)
{
    BandForm form;
    form.height = doubleAttr(band, "height").value_or(defaultHeight);
    form.elements = parseBandElements(band, context);
    form.printWhenExpression = childText(band, "printWhenExpression");
    return form;
}

// The band of a section that holds one: the first `band` child; the others are noted.
pugi::xml_node singleBand(pugi::xml_node section, JrxmlReadContext &context)
{
    const pugi::xml_node band = section.child("band");
    for (pugi::xml_node child : section.children()) {
        if (child.type() == pugi::node_element && child != band)
            context.dropped(child.name());
    }
    return band;
}

ReportBand readStandardBand(pugi::xml_node root, BandType type, JrxmlReadContext &context)
{
    ReportBand b;
    b.type = type;
    b.height = 20;
    b.isPresent = false;
    const QByteArray tag = rawValue(type).toLatin1();
    const pugi::xml_node band = singleBand(root.child(tag.constData()), context);
    if (!band)
        return b;
    BandForm form = readBandForm(band, 20, context);
    b.height = form.height;
    b.elements = std::move(form.elements);
    b.printWhenExpression = std::move(form.printWhenExpression);
    b.isPresent = true;
    return b;
}

QList<ReportBand> readDetailBands(pugi::xml_node root, JrxmlReadContext &context)
{
    QList<ReportBand> bands;
    for (pugi::xml_node child : root.child("detail").children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (!is(child.name(), "band")) {
            context.dropped(child.name());
            continue;
        }
        BandForm form = readBandForm(child, 40, context);
        bands.append({newId(), BandType::detail, form.height, std::move(form.elements), true,
                      std::move(form.printWhenExpression)});
    }
    if (bands.isEmpty())
        bands.append(ReportBand::defaultDetailBand());
    return bands;
}

// Root children that the data definitions read: every one of these names.
bool isDataDefinition(const char *name)
{
    static constexpr const char *names[] = {"template",  "style",     "subDataset",
                                            "scriptlet", "parameter", "field",
                                            "sortField", "variable",  "group"};
    for (const char *n : names) {
        if (is(name, n))
            return true;
    }
    return false;
}

// Reads the properties and imports and notes every child of the root that is not kept: unknown
// sections, properties the document does not hold, and second sections of a name that is read once.
void readPropertiesAndNoteSections(pugi::xml_node root, ReportDocument &d,
                                   JrxmlReadContext &context)
{
    QList<QByteArray> seen;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char *name = child.name();
        if (is(name, "property")) {
            if (!readProperty(child, d))
                context.dropped(name);
            continue;
        }
        if (is(name, "import")) {
            if (const pugi::xml_attribute value = child.attribute("value"))
                d.imports.append(QString::fromUtf8(value.value()));
            else
                context.dropped(name);
            continue;
        }
        if (isDataDefinition(name))
            continue;
        const bool readOnce = is(name, "queryString") || is(name, "detail") ||
                              enumFromRaw<BandType>(QString::fromUtf8(name)).has_value();
        if (readOnce && !seen.contains(QByteArray(name))) {
            seen.append(QByteArray(name));
            continue;
        }
        context.dropped(name);
    }
}

} // namespace

void readGroupBands(pugi::xml_node groupNode, ReportGroup &group, JrxmlReadContext &context)
{
    const pugi::xml_node header = singleBand(groupNode.child("groupHeader"), context);
    const pugi::xml_node footer = singleBand(groupNode.child("groupFooter"), context);
    BandForm headerForm = header ? readBandForm(header, 20, context) : BandForm{};
    BandForm footerForm = footer ? readBandForm(footer, 20, context) : BandForm{};
    group.headerHeight = headerForm.height;
    group.headerElements = std::move(headerForm.elements);
    group.headerPrintWhenExpression = std::move(headerForm.printWhenExpression);
    group.footerHeight = footerForm.height;
    group.footerElements = std::move(footerForm.elements);
    group.footerPrintWhenExpression = std::move(footerForm.printWhenExpression);
}

ReportDocument readDocument(pugi::xml_node root, JrxmlReadContext &context)
{
    ReportDocument d;
    readRoot(root, d);
    readPropertiesAndNoteSections(root, d, context);
    readDataDefinitions(root, d, context);
    d.bands.clear();
    for (BandType type : bandDisplayOrder()) {
        if (type != BandType::detail)
            d.bands.append(readStandardBand(root, type, context));
    }
    d.detailBands = readDetailBands(root, context);
    return d;
}

} // namespace JrxmlCodec
