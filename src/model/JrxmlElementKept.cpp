// What a report element keeps of its XML that the model does not hold, and which of the values
// the reader gave it were inherited (absent in the file), so that they stay absent on writing.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

constexpr const char *none[] = {"-"};
constexpr const char *printWhen[] = {"printWhenExpression"};
constexpr const char *sidePens[] = {"topPen", "leftPen", "bottomPen", "rightPen"};
constexpr const char *paddings[] = {"leftPadding", "rightPadding", "topPadding", "bottomPadding"};
constexpr const char *penAttrs[] = {"lineWidth", "lineColor", "lineStyle"};
constexpr const char *lineWidth[] = {"lineWidth"};
constexpr const char *penTag[] = {"pen"};
constexpr const char *textElementAttrs[] = {"textAlignment", "verticalAlignment", "markup"};
constexpr const char *textElementTags[] = {"font", "paragraph"};
constexpr const char *fontTag[] = {"font"};
constexpr const char *textFieldAttrs[] = {"evaluationTime", "evaluationGroup", "pattern",
                                          "isBlankWhenNull", "textAdjust"};
constexpr const char *imageAttrs[] = {"evaluationTime", "evaluationGroup"};
constexpr const char *subreportAttrs[] = {"isUsingCache", "runToBottom", "overflowType",
                                          "evaluationTime", "evaluationGroup"};
constexpr const char *breakAttrs[] = {"type"};

QString flagText(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

// The writer's text of a number (`format`: decimalNumber, sizeNumber…). Elements share their
// sizes and widths: the texts made last on the thread are handed out again.
QString numberText(double value, QString (*format)(double))
{
    struct Made {
        QString (*format)(double) = nullptr;
        std::uint64_t bits = 0; // the value's, so that only the very same double matches
        QString text;
    };
    thread_local std::array<Made, 8> made;
    thread_local size_t next = 0;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (const Made &m : made) {
        if (m.format == format && m.bits == bits)
            return m.text;
    }
    Made &slot = made[next];
    next = (next + 1) % made.size();
    slot = {format, bits, format(value)};
    return slot.text;
}

KeptXml keptReportElement(const ReportElement &e, pugi::xml_node re, JrxmlReadContext &context)
{
    static const TagOrder order = tagOrder::element("reportElement");
    KeptXml kept = keptOf(re, reportElementAttributes, order, printWhen, none, context);
    // A style the document does not define (it comes from a style template) stays named.
    if (e.styleName && !context.style(*e.styleName))
        kept.attributes.prepend({u"style"_s, *e.styleName});
    if (e.foreColor)
        absentUnless(re, "forecolor", e.foreColor->hex, kept);
    // A line or shape holds the colour of its pen; a fore colour of its own that the pen does
    // not print in stays as written.
    using K = ElementKind;
    if (const pugi::xml_attribute fore = attribute(re, "forecolor");
        fore && (e.kind.is<K::Line>() || e.kind.is<K::Rectangle>() || e.kind.is<K::Ellipse>()) &&
        colorValue(fore) != e.foreColor)
        kept.attributes.append({u"forecolor"_s, valueText(fore.value())});
    // The back colour of an element that fills nothing is kept as written, in its place among
    // the attributes kept.
    if (!e.backColor) {
        if (const pugi::xml_attribute backcolor = attribute(re, "backcolor")) {
            qsizetype at = 0;
            for (pugi::xml_attribute a = re.first_attribute(); a != backcolor;
                 a = a.next_attribute()) {
                if (at < kept.attributes.size() && kept.attributes[at].name == nameText(a.name()))
                    ++at;
            }
            kept.attributes.insert(at, {u"backcolor"_s, valueText(backcolor.value())});
        }
    }
    if (e.backColor) {
        absentUnless(re, "backcolor", e.backColor->hex, kept);
        // Without a mode the fill is the style's or the element kind's own; a fill the user
        // changes is opaque.
        if (!attribute(re, "mode"))
            appendAbsent(kept,
                         {literalText("mode"), u"Opaque"_s, {{u"backcolor"_s, e.backColor->hex}}});
    }
    keepSpelled(re, "positionType", e.positionType == PositionType::fixRelativeToTop, kept);
    keepSpelled(re, "stretchType", e.stretchType == StretchType::noStretch, kept);
    keepEmptyChild(re, "printWhenExpression", kept);
    return kept;
}

// What the box keeps; a box or side the file did not have, whose values the element inherits,
// stays out while they are unchanged.
void keepBox(ReportElement &e, pugi::xml_node box, JrxmlReadContext &context)
{
    const bool hasPen = e.topPen || e.leftPen || e.bottomPen || e.rightPen;
    const double sides[] = {e.paddingLeft, e.paddingRight, e.paddingTop, e.paddingBottom};
    if (!box && !hasPen && sides[0] == 0 && sides[1] == 0 && sides[2] == 0 && sides[3] == 0)
        return;
    KeptXml own = box ? keptOf(box, paddings, tagOrder::box, sidePens, none, context) : KeptXml{};
    own.present = bool(box);
    // One `padding` stays one attribute while no side changes; an inherited one stays out. One
    // the engine cannot read (which the reader named) is written as the value held.
    const pugi::xml_attribute padding = attribute(box, "padding");
    const bool hasPadding = bool(padding);
    if (padding && hasBox(e.kind) && !engineLength(padding.value())) {
        for (KeptXml::Attribute &a : own.attributes) {
            if (a.name == "padding"_L1)
                a.value = wholeNumber(heldLength(padding.value(), 0));
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (sides[i] != 0 || hasPadding)
            absentUnless(
                box, paddings[i], [&] { return numberText(sides[i], wholeNumber); }, own);
    }
    // A side padding of 0 overrides the box's and the style's. A text the engine cannot read
    // (which the reader named) is written as the value held instead.
    for (int i = 0; i < 4; ++i) {
        const pugi::xml_attribute side = attribute(box, paddings[i]);
        if (side && engineLength(side.value()))
            keepSpelled(side, sides[i] == 0, own);
    }
    const struct {
        const char *name;
        const std::optional<BoxSidePen> *pen;
        QString key;
    } pens[] = {{"topPen", &e.topPen, u"box/topPen"_s},
                {"leftPen", &e.leftPen, u"box/leftPen"_s},
                {"bottomPen", &e.bottomPen, u"box/bottomPen"_s},
                {"rightPen", &e.rightPen, u"box/rightPen"_s}};
    for (const auto &[name, pen, key] : pens) {
        if (!*pen)
            continue;
        const pugi::xml_node node = childNamed(box, name);
        // A side the file did not have stays out while it says nothing of its own.
        if (!node)
            own.absentChildren.append(literalText(name));
        KeptXml side = keptOf(node, penAttrs, none, none, none, context);
        // What the side does not give it takes from the box pen or the style.
        absentUnless(
            node, "lineWidth", [width = (*pen)->width] { return numberText(width, decimalNumber); },
            side);
        if ((*pen)->color)
            absentUnless(node, "lineColor", (*pen)->color->hex, side);
        if ((*pen)->style != PenLineStyle::solid)
            absentUnless(node, "lineStyle", rawValue((*pen)->style), side);
        keepSpelled(node, "lineStyle", (*pen)->style == PenLineStyle::solid, side);
        e.kept.addPart(key, std::move(side));
    }
    e.kept.addPart(u"box"_s, std::move(own));
}

void keepTextElement(ReportElement &e, pugi::xml_node node, JrxmlReadContext &context)
{
    const pugi::xml_node textElement = childNamed(node, "textElement");
    KeptXml own = keptOf(textElement, textElementAttrs, textElementTags, fontTag, none, context);
    keepUnknownCase(textElement, "textAlignment", e.textAlignment, own);
    keepUnknownCase(textElement, "verticalAlignment", e.verticalAlignment, own);
    // What the element inherits (from its style) stays inherited.
    absentUnless(
        textElement, "textAlignment", [&] { return rawValue(e.textAlignment); }, own);
    absentUnless(
        textElement, "verticalAlignment", [&] { return rawValue(e.verticalAlignment); }, own);
    // "Top" is not written, being the model's default; set in the file, it overrides a style.
    if (is(attribute(textElement, "verticalAlignment").value(), "Top"))
        own.attributes.append({u"verticalAlignment"_s, u"Top"_s});
    own.present = bool(textElement);
    e.kept.addPart(u"textElement"_s, std::move(own));

    const pugi::xml_node font = childNamed(textElement, "font");
    const NamedAttributes f(font, fontAttributes);
    using namespace fontAttribute;
    KeptXml fontKept = keptOf(font, fontAttributes, none, none, none, context);
    absentUnless(f[name], "fontName", e.fontName, fontKept);
    absentUnless(
        f[size], "size", [&] { return numberText(e.fontSize, sizeNumber); }, fontKept);
    absentUnless(f[bold], "isBold", flagText(e.isBold), fontKept);
    absentUnless(f[italic], "isItalic", flagText(e.isItalic), fontKept);
    absentUnless(f[underline], "isUnderline", flagText(e.isUnderline), fontKept);
    if (e.pdfFontName)
        absentUnless(f[pdfName], "pdfFontName", *e.pdfFontName, fontKept);
    if (e.pdfEncoding)
        absentUnless(f[pdfEncoding], "pdfEncoding", *e.pdfEncoding, fontKept);
    absentUnless(f[pdfEmbedded], "isPdfEmbedded", u"true"_s, fontKept);
    keepSpelled(f[pdfName], isAbsentOrEmpty(e.pdfFontName), fontKept);
    keepSpelled(f[pdfEncoding], isAbsentOrEmpty(e.pdfEncoding), fontKept);
    keepSpelled(f[pdfEmbedded], !e.isPdfEmbedded, fontKept);
    fontKept.present = bool(font);
    e.kept.addPart(u"textElement/font"_s, std::move(fontKept));
}

void keepGraphicElement(ReportElement &e, pugi::xml_node node, JrxmlReadContext &context)
{
    const pugi::xml_node graphic = childNamed(node, "graphicElement");
    KeptXml own = keptOf(graphic, none, penTag, penTag, none, context);
    own.present = bool(graphic);
    e.kept.addPart(u"graphicElement"_s, std::move(own));
    const pugi::xml_node pen = childNamed(graphic, "pen");
    KeptXml penKept = keptOf(pen, lineWidth, none, none, none, context);
    absentUnless(
        pen, "lineWidth", [&] { return numberText(e.penWidth, decimalNumber); }, penKept);
    // The colour a line or shape holds is its pen's: an inherited one stays unwritten while it
    // is unchanged.
    using K = ElementKind;
    if (e.foreColor &&
        (e.kind.is<K::Line>() || e.kind.is<K::Rectangle>() || e.kind.is<K::Ellipse>()))
        absentUnless(pen, "lineColor", e.foreColor->hex, penKept);
    e.kept.addPart(u"graphicElement/pen"_s, std::move(penKept));
}

// The attributes of the kind's own tag that the reader takes.
TagOrder takenTagAttributes(const ElementKind &kind)
{
    if (kind.is<ElementKind::TextField>())
        return textFieldAttrs;
    if (kind.is<ElementKind::Image>())
        return imageAttrs;
    if (kind.is<ElementKind::Subreport>())
        return subreportAttrs;
    if (kind.is<ElementKind::ReportBreak>())
        return breakAttrs;
    return none;
}

// The attributes of the kind's own tag that the file spelled out and the writer leaves out for
// the value read. An empty pattern is no pattern to the model; the engine tells them apart.
void keepSpelledTagAttributes(const ReportElement &e, pugi::xml_node node, KeptXml &kept)
{
    if (e.kind.hasEvaluationTime()) {
        keepSpelled(node, "evaluationTime", e.evaluationTime == "Now"_L1, kept);
        keepSpelled(node, "evaluationGroup",
                    e.evaluationTime != "Group"_L1 || isAbsentOrEmpty(e.evaluationGroup), kept);
    }
    if (e.kind.is<ElementKind::TextField>()) {
        keepSpelled(node, "pattern", isAbsentOrEmpty(e.pattern), kept);
        keepSpelled(node, "isBlankWhenNull", !e.isBlankWhenNull, kept);
        keepSpelled(node, "textAdjust", !e.textAdjust, kept);
        // Growing by the older flag stays said by it alone while unchanged.
        if (e.textAdjust == TextAdjust::stretchHeight)
            absentUnless(node, "textAdjust", u"StretchHeight"_s, kept);
    } else if (e.kind.is<ElementKind::Subreport>()) {
        keepSpelled(node, "isUsingCache", e.isUsingCache, kept);
        keepSpelled(node, "runToBottom", e.runToBottom, kept);
        keepSpelled(node, "overflowType", isAbsentOrEmpty(e.overflowType), kept);
    } else if (const auto *pageBreak = e.kind.as<ElementKind::ReportBreak>()) {
        keepSpelled(node, "type", pageBreak->type == BreakType::page, kept);
    }
}

// Which children of the kind's content the file left out although the writer writes them, and
// which it had empty although the writer leaves them out.
void keepContentChildren(const ElementKind &kind, pugi::xml_node node, KeptXml &kept)
{
    const auto absent = [&](const char *tag) {
        if (!childNamed(node, tag))
            kept.absentChildren.append(literalText(tag));
    };
    if (kind.is<ElementKind::StaticText>()) {
        absent("text");
    } else if (kind.is<ElementKind::TextField>()) {
        absent("textFieldExpression");
        keepEmptyChild(node, "hyperlinkReferenceExpression", kept);
    } else if (kind.is<ElementKind::Image>()) {
        absent("imageExpression");
    } else if (kind.is<ElementKind::Subreport>()) {
        absent("subreportExpression");
        keepEmptyChild(node, "connectionExpression", kept);
        keepEmptyChild(node, "dataSourceExpression", kept);
    }
}

// Whether the reader takes the child of the kind's own tag.
bool isTakenChild(const ElementKind &kind, pugi::xml_node child, const JrxmlReadContext &context)
{
    const char *name = localName(child.name());
    const auto firstOf = [&](std::initializer_list<const char *> names) {
        for (const char *n : names) {
            if (is(name, n))
                return isFirstOfName(child);
        }
        return false;
    };
    if (firstOf({"reportElement"}))
        return true;
    if (kind.isTextKind() || kind.is<ElementKind::Image>() || kind.is<ElementKind::Frame>()) {
        if (firstOf({"box"}))
            return true;
    }
    if (kind.is<ElementKind::StaticText>())
        return firstOf({"textElement", "text"});
    if (kind.is<ElementKind::TextField>())
        return firstOf({"textElement", "textFieldExpression", "hyperlinkReferenceExpression"});
    if (kind.is<ElementKind::Image>())
        return firstOf({"graphicElement", "imageExpression"});
    if (kind.is<ElementKind::Rectangle>() || kind.is<ElementKind::Ellipse>() ||
        kind.is<ElementKind::Line>())
        return firstOf({"graphicElement"});
    if (kind.is<ElementKind::Subreport>()) {
        // Beside a connection no data source is written (the connection wins), so none is kept
        // either: a kept one would be read as the data source on the next load and dropped then.
        if (is(name, "dataSourceExpression"))
            return isFirstOfName(child) || bool(childNamed(child.parent(), "connectionExpression"));
        return is(name, "subreportParameter") ||
               firstOf({"connectionExpression", "subreportExpression"});
    }
    if (kind.is<ElementKind::Frame>()) {
        // The elements read into the frame; its other parts are kept.
        return !is(name, "reportElement") && !is(name, "box") && !is(name, "printWhenExpression") &&
               !context.isUnread(child);
    }
    return false;
}

// A side pen takes the cell's width and colour where it holds them as the writer writes them;
// where it holds others or none, the cell's are taken out again and its own kept.
KeptXml keptCellPen(const TableCellFormatting &f, pugi::xml_node pen, JrxmlReadContext &context)
{
    const auto holds = [&](const char *name, const QString &written) {
        const pugi::xml_attribute attr = attribute(pen, name);
        return attr && QString::fromUtf8(attr.value()) == written;
    };
    const QString width = f.boxPenWidth ? decimalNumber(*f.boxPenWidth) : QString();
    const QString color = f.boxPenColor ? f.boxPenColor->hex : QString();
    const bool sameWidth = f.boxPenWidth && holds("lineWidth", width);
    // The colour is written with a width only.
    const bool sameColor = sameWidth && f.boxPenColor && holds("lineColor", color);
    const char *const taken[] = {sameWidth ? "lineWidth" : "-", sameColor ? "lineColor" : "-"};
    KeptXml kept = keptOf(pen, taken, none, none, none, context);
    if (f.boxPenWidth && !sameWidth)
        kept.absent.append({u"lineWidth"_s, width});
    if (f.boxPenColor && !sameColor)
        kept.absent.append({u"lineColor"_s, color});
    return kept;
}

} // namespace

void readCellKept(TableCellFormatting &formatting, pugi::xml_node cell,
                  const std::vector<pugi::xml_node> &unread, JrxmlReadContext &context)
{
    if (!cell)
        return;
    // An empty style name is no style to the model; it is kept as written.
    const pugi::xml_attribute style = attribute(cell, "style");
    const char *const cellAttrs[] = {"height", style && !*style.value() ? "-" : "style"};
    const auto isTaken = [&](pugi::xml_node child) {
        const char *name = localName(child.name());
        if (is(name, "box"))
            return isFirstOfName(child);
        if (is(name, "reportElement") || is(name, "printWhenExpression"))
            return false;
        return std::find(unread.begin(), unread.end(), child) == unread.end();
    };
    formatting.kept.setPart({}, keptOf(cell, cellAttrs, tagOrder::cell, isTaken, context));
    const pugi::xml_node box = childNamed(cell, "box");
    if (!box)
        return;
    formatting.kept.setPart(u"box"_s, keptOf(box, none, tagOrder::box, sidePens, none, context));
    for (const char *side : sidePens) {
        KeptXml pen = keptCellPen(formatting, childNamed(box, side), context);
        if (!pen.isEmpty())
            formatting.kept.setPart(u"box/"_s + QLatin1StringView(side), std::move(pen));
    }
}

void readElementKept(ReportElement &e, pugi::xml_node node, pugi::xml_node re,
                     JrxmlReadContext &context)
{
    if (e.kind.is<ElementKind::List>() || e.kind.is<ElementKind::Table>() ||
        e.kind.is<ElementKind::Chart>() || e.kind.is<ElementKind::Crosstab>() ||
        e.kind.is<ElementKind::ComponentPlaceholder>() ||
        e.kind.is<ElementKind::GenericElement>()) {
        // Their own content is held whole; the position line keeps the rest of its attributes,
        // the element of a list or table its own (a namespace declaration among them).
        e.kept.addPart(u"reportElement"_s, keptReportElement(e, re, context));
        if (e.kind.is<ElementKind::List>() || e.kind.is<ElementKind::Table>())
            e.kept.addPart({}, keptOf(
                                   node, none, none, [](pugi::xml_node) { return true; }, context));
        return;
    }
    const TagOrder order = tagOrder::element(localName(node.name()));
    // A frame's children that are no report element stand among its elements.
    ElementPlace place;
    if (e.kind.is<ElementKind::Frame>())
        place = [&](pugi::xml_node child) { return context.unreadPlace(child); };
    KeptXml own = keptOf(
        node, takenTagAttributes(e.kind), order,
        [&](pugi::xml_node child) { return isTakenChild(e.kind, child, context); }, context, place);
    keepSpelledTagAttributes(e, node, own);
    keepContentChildren(e.kind, node, own);
    e.kept.addPart({}, std::move(own));
    e.kept.addPart(u"reportElement"_s, keptReportElement(e, re, context));
    if (hasBox(e.kind) || childNamed(node, "box"))
        keepBox(e, childNamed(node, "box"), context);
    // The expression's own attributes (its value class).
    const auto keepExpression = [&](const char *tag, const QString &key) {
        e.kept.addPart(key, keptOf(childNamed(node, tag), none, none, none, none, context));
    };
    if (e.kind.is<ElementKind::TextField>())
        keepExpression("textFieldExpression", u"textFieldExpression"_s);
    else if (e.kind.is<ElementKind::Image>())
        keepExpression("imageExpression", u"imageExpression"_s);
    else if (e.kind.is<ElementKind::Subreport>())
        keepExpression("subreportExpression", u"subreportExpression"_s);
    if (e.kind.isTextKind())
        keepTextElement(e, node, context);
    if (e.kind.is<ElementKind::Image>() || e.kind.is<ElementKind::Rectangle>() ||
        e.kind.is<ElementKind::Ellipse>() || e.kind.is<ElementKind::Line>())
        keepGraphicElement(e, node, context);
}

} // namespace JrxmlCodec
