// The reader of the document frame: root attributes, PDF tagging properties and the band
// sections. Sections are looked up by name, in any order; content that is not kept is noted.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

void readRoot(pugi::xml_node root, ReportDocument &d, JrxmlReadContext &context)
{
    d.name = attrTextOr(root, "name", u"report"_s);
    d.pageWidth = lengthAttr(root, "pageWidth", 595, context);
    d.pageHeight = lengthAttr(root, "pageHeight", 842, context);
    // Where the file leaves a length out, the engine's own value holds.
    d.columnWidth = lengthAttr(root, "columnWidth", 555, context);
    d.leftMargin = lengthAttr(root, "leftMargin", 20, context);
    d.rightMargin = lengthAttr(root, "rightMargin", 20, context);
    d.topMargin = lengthAttr(root, "topMargin", 30, context);
    d.bottomMargin = lengthAttr(root, "bottomMargin", 30, context);
    d.whenNoDataType =
        enumAttr<WhenNoDataType>(root, "whenNoDataType").value_or(WhenNoDataType::noPages);
    d.isFloatColumnFooter = isTrue(root, "isFloatColumnFooter");
    d.isSummaryWithPageHeaderAndFooter = isTrue(root, "isSummaryWithPageHeaderAndFooter");
    d.isSummaryNewPage = isTrue(root, "isSummaryNewPage");
    // A whole number to the engine, as a length is.
    d.columnCount = qint64(lengthAttr(root, "columnCount", 1, context));
    d.printOrder = enumAttr<PrintOrder>(root, "printOrder").value_or(PrintOrder::vertical);
    d.columnSpacing = lengthAttr(root, "columnSpacing", 0, context);
    d.language = attrTextOr(root, "language", u"java"_s);
    // Read by the data definitions; these are their values when the file has none.
    d.queryString.clear();
    d.queryLanguage = u"sql"_s;
    d.isPdfTagged = false;
    d.pdfTagLanguage = u"en-US"_s;
}

constexpr const char *none[] = {"-"};
constexpr const char *heightAttr[] = {"height"};
constexpr const char *bandTag[] = {"band"};

// The root attributes the reader takes, and those the writer writes itself.
constexpr const char *rootAttrs[] = {"name",
                                     "pageWidth",
                                     "pageHeight",
                                     "columnWidth",
                                     "leftMargin",
                                     "rightMargin",
                                     "topMargin",
                                     "bottomMargin",
                                     "whenNoDataType",
                                     "isFloatColumnFooter",
                                     "isSummaryWithPageHeaderAndFooter",
                                     "isSummaryNewPage",
                                     "columnCount",
                                     "printOrder",
                                     "columnSpacing",
                                     "language"};

// The namespace and schema declarations of the writer's header, with the values it gives them.
constexpr std::pair<const char *, const char *> headerAttrs[] = {
    {"xmlns", namespaceUri},
    {"xmlns:xsi", schemaInstanceUri},
    {"xsi:schemaLocation", schemaLocation}};

// The root attributes the reader takes: its own, and the header's where the file gives them as
// the writer writes them.
std::vector<const char *> takenRootAttrs(pugi::xml_node root)
{
    std::vector<const char *> taken(std::begin(rootAttrs), std::end(rootAttrs));
    for (const auto &[name, value] : headerAttrs) {
        if (is(attribute(root, name).value(), value))
            taken.push_back(name);
    }
    return taken;
}

// The header stays as the file had it: a declaration it lacks (a file read by its document
// type) stays out, one it gives otherwise stays as given.
void keepHeader(pugi::xml_node root, KeptXml &kept)
{
    for (const auto &[name, value] : headerAttrs) {
        if (!is(attribute(root, name).value(), value))
            appendAbsent(kept, {literalText(name), literalText(value), {}});
    }
}

// What stands before the root in the file, a document type above all, with its comments and
// processing instructions, each as written; with `after`, the comments and instructions after it.
KeptXml keptProlog(pugi::xml_node root, bool after = false)
{
    KeptXml prolog;
    for (pugi::xml_node node = after ? root.next_sibling() : root.parent().first_child();
         node && node != root; node = node.next_sibling()) {
        QString text;
        switch (node.type()) {
        case pugi::node_doctype:
            text = u"<!DOCTYPE "_s + QString::fromUtf8(node.value()) + u'>';
            break;
        case pugi::node_comment:
            text = u"<!--"_s + QString::fromUtf8(node.value()) + u"-->"_s;
            break;
        case pugi::node_pi:
            text = u"<?"_s + QString::fromUtf8(node.name()) + u' ' +
                   QString::fromUtf8(node.value()) + u"?>"_s;
            break;
        default:
            continue;
        }
        prolog.children.append({0, text});
    }
    return prolog;
}

// Page size, column width and margins the root leaves out stay out while unchanged; defaults it
// spells out stay spelled out.
void keepRootAttributes(pugi::xml_node root, const ReportDocument &d, KeptXml &kept)
{
    noteAbsent(root, kept,
               {{"pageWidth", "595"},
                {"pageHeight", "842"},
                {"columnWidth", "555"},
                {"leftMargin", "20"},
                {"rightMargin", "20"},
                {"topMargin", "30"},
                {"bottomMargin", "30"}});
    keepSpelled(root, "whenNoDataType", d.whenNoDataType == WhenNoDataType::noPages, kept);
    keepSpelled(root, "isFloatColumnFooter", !d.isFloatColumnFooter, kept);
    keepSpelled(root, "isSummaryWithPageHeaderAndFooter", !d.isSummaryWithPageHeaderAndFooter,
                kept);
    keepSpelled(root, "isSummaryNewPage", !d.isSummaryNewPage, kept);
    keepSpelled(root, "columnCount",
                d.columnCount == 1 && engineLength(attribute(root, "columnCount").value()), kept);
    keepSpelled(root, "printOrder", d.printOrder == PrintOrder::vertical, kept);
    // A spacing the engine could not read is written as the reader took it.
    keepSpelled(root, "columnSpacing",
                d.columnSpacing == 0 && engineLength(attribute(root, "columnSpacing").value()),
                kept);
    keepSpelled(root, "language", d.language == "java"_L1, kept);
}

// A band's height, elements, print-when expression and what the model does not hold of it. A
// section without a band holds the height a new band gets.
struct BandForm {
    double height = 20;
    ElementList elements;
    std::optional<QString> printWhenExpression;
    KeptXml kept;
};

BandForm readBandForm(pugi::xml_node band, JrxmlReadContext &context)
{
    BandForm form;
    // A band without a height is empty in print, as the engine reads it.
    form.height = lengthAttr(band, "height", 0, context);
    UnreadChildren unread;
    form.elements = parseBandElements(band, context, -1, &unread);
    form.printWhenExpression = childText(band, "printWhenExpression");
    form.kept = keptOf(
        band, heightAttr, tagOrder::band,
        [&](pugi::xml_node child) {
            if (is(child.name(), "printWhenExpression"))
                return isFirstOfName(child);
            if (is(child.name(), "property") || is(child.name(), "returnValue"))
                return false;
            return std::find(unread.begin(), unread.end(), child) == unread.end();
        },
        context, placeAmong(unread));
    // It stays without one while unchanged.
    noteAbsent(band, form.kept, {{"height", "0"}});
    return form;
}

// The first band of a section and what else the section holds; a section the file has without
// a band is written again as it was.
pugi::xml_node firstBand(pugi::xml_node section, KeptParts &kept, const QString &key,
                         JrxmlReadContext &context)
{
    KeptXml own = keptOf(section, none, tagOrder::section, bandTag, none, context);
    own.present = section && !childNamed(section, "band");
    kept.setPart(key, std::move(own));
    return childNamed(section, "band");
}

ReportBand readStandardBand(pugi::xml_node root, BandType type, JrxmlReadContext &context)
{
    ReportBand b;
    b.type = type;
    b.height = 20;
    b.isPresent = false;
    const QByteArray tag = rawValue(type).toLatin1();
    const pugi::xml_node section = childNamed(root, tag.constData());
    // A section without a band prints nothing; it is kept as written while the band is hidden.
    const pugi::xml_node band = firstBand(section, b.kept, u"section"_s, context);
    if (!band)
        return b;
    BandForm form = readBandForm(band, context);
    b.height = form.height;
    b.elements = std::move(form.elements);
    b.printWhenExpression = std::move(form.printWhenExpression);
    b.kept.setPart({}, std::move(form.kept));
    b.isPresent = true;
    return b;
}

QList<ReportBand> readDetailBands(pugi::xml_node root, ReportDocument &d, JrxmlReadContext &context)
{
    QList<ReportBand> bands;
    const pugi::xml_node section = childNamed(root, "detail");
    KeptXml own = keptOf(section, none, tagOrder::section, none, bandTag, context);
    own.present = bool(section);
    d.kept.setPart(u"detail"_s, std::move(own));
    for (pugi::xml_node child : childrenNamed(section, "band")) {
        BandForm form = readBandForm(child, context);
        ReportBand band{newId(),     BandType::detail,
                        form.height, std::move(form.elements),
                        true,        std::move(form.printWhenExpression)};
        band.kept.setPart({}, std::move(form.kept));
        bands.append(std::move(band));
    }
    d.isDetailAbsent = bands.isEmpty();
    // The engine prints nothing in place of a detail the file lacks.
    if (bands.isEmpty()) {
        bands.append(ReportBand::defaultDetailBand());
        bands.last().height = 0;
    }
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

// Whether the reader takes the root child into the model.
bool isTakenAtRoot(pugi::xml_node child, ReportDocument &d)
{
    const char *name = child.name();
    if (is(name, "property")) {
        // The property itself stays with the root's other properties, so that it is written back
        // in its place while its value is unchanged.
        readTaggingProperty(child, d.isPdfTagged, d.pdfTagLanguage);
        return false;
    }
    if (is(name, "import")) {
        const pugi::xml_attribute value = attribute(child, "value");
        if (value && child.first_attribute() == child.last_attribute() && !child.first_child())
            d.imports.append(QString::fromUtf8(value.value()));
        return bool(value) && child.first_attribute() == child.last_attribute() &&
               !child.first_child();
    }
    if (isDataDefinition(name))
        return true;
    const bool readOnce =
        is(name, "queryString") || is(name, "detail") || enumFromUtf8<BandType>(name).has_value();
    return readOnce && isFirstOfName(child);
}

} // namespace

bool readTaggingProperty(pugi::xml_node property, bool &isTagged, QString &language)
{
    const pugi::xml_attribute name = attribute(property, "name");
    if (!name)
        return false;
    const char *value = attribute(property, "value").value();
    if (is(name.value(), pdfTagged))
        isTagged = is(value, "true");
    else if (is(name.value(), pdfTagLanguage))
        language = QString::fromUtf8(value);
    else
        return false;
    return true;
}

void readGroupBands(pugi::xml_node groupNode, ReportGroup &group, JrxmlReadContext &context)
{
    const pugi::xml_node headerSection = childNamed(groupNode, "groupHeader");
    const pugi::xml_node footerSection = childNamed(groupNode, "groupFooter");
    const pugi::xml_node header = firstBand(headerSection, group.kept, u"groupHeader"_s, context);
    const pugi::xml_node footer = firstBand(footerSection, group.kept, u"groupFooter"_s, context);
    // A section the file lacks prints nothing: no height.
    BandForm headerForm = header ? readBandForm(header, context) : BandForm{.height = 0};
    BandForm footerForm = footer ? readBandForm(footer, context) : BandForm{.height = 0};
    group.headerHeight = headerForm.height;
    group.headerElements = std::move(headerForm.elements);
    group.headerPrintWhenExpression = std::move(headerForm.printWhenExpression);
    group.kept.setPart(u"groupHeader/band"_s, std::move(headerForm.kept));
    group.isHeaderAbsent = !header;
    group.footerHeight = footerForm.height;
    group.footerElements = std::move(footerForm.elements);
    group.footerPrintWhenExpression = std::move(footerForm.printWhenExpression);
    group.kept.setPart(u"groupFooter/band"_s, std::move(footerForm.kept));
    group.isFooterAbsent = !footer;
}

ReportDocument readDocument(pugi::xml_node root, JrxmlReadContext &context)
{
    ReportDocument d;
    readRoot(root, d, context);
    const std::vector<const char *> taken = takenRootAttrs(root);
    KeptXml rootKept = keptOf(
        root, taken, tagOrder::root, [&](pugi::xml_node child) { return isTakenAtRoot(child, d); },
        context);
    keepRootAttributes(root, d, rootKept);
    keepHeader(root, rootKept);
    d.kept.setPart(u"prolog"_s, keptProlog(root));
    d.kept.setPart(u"epilog"_s, keptProlog(root, true));
    readDataDefinitions(root, d, context);
    d.kept.setPart({}, std::move(rootKept));
    d.bands.clear();
    for (BandType type : bandDisplayOrder()) {
        if (type != BandType::detail)
            d.bands.append(readStandardBand(root, type, context));
    }
    d.detailBands = readDetailBands(root, d, context);
    return d;
}

} // namespace JrxmlCodec
