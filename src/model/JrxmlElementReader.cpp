// The reader of report elements: an XML element whose kind is known becomes a ReportElement,
// values the file leaves out coming from the element's named style.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

// A font flag: present decides ("true" or not), absent falls back to the style, then false.
bool fontFlag(pugi::xml_attribute attr, const ReportStyle *style, bool ReportStyle::*member)
{
    if (attr)
        return is(attr.value(), "true");
    return style && style->*member;
}

// An optional font text: the attribute, else the style's value, else none.
std::optional<QString> fontText(pugi::xml_attribute attr, const ReportStyle *style,
                                std::optional<QString> ReportStyle::*member)
{
    if (attr)
        return valueText(attr.value());
    return style ? style->*member : std::nullopt;
}

void readTextFormatting(ReportElement &e, pugi::xml_node node, const ReportStyle *style,
                        const InheritedStyle *inherited, JrxmlReadContext &context)
{
    const pugi::xml_node textElement = childNamed(node, "textElement");
    const pugi::xml_node font = childNamed(textElement, "font");
    e.markup = attrText(textElement, "markup");

    if (const pugi::xml_attribute align = attribute(textElement, "textAlignment")) {
        e.textAlignment = textAlignmentText(align.value());
    } else {
        e.textAlignment = style ? style->textAlignment : TextAlignment::left;
    }
    if (const pugi::xml_attribute vertical = attribute(textElement, "verticalAlignment")) {
        e.verticalAlignment = is(vertical.value(), "Middle")   ? VerticalTextAlignment::middle
                              : is(vertical.value(), "Bottom") ? VerticalTextAlignment::bottom
                                                               : VerticalTextAlignment::top;
    } else {
        e.verticalAlignment = inherited && inherited->verticalAlignment
                                  ? *inherited->verticalAlignment
                                  : VerticalTextAlignment::top;
    }

    // The font's attributes are each asked for here and again for what the element keeps.
    const NamedAttributes f(font, fontAttributes);
    using namespace fontAttribute;
    if (f[name])
        e.fontName = valueText(f[name].value());
    else
        e.fontName = style ? style->fontName : u"SansSerif"_s;
    e.fontSize = doubleValue(f[size]).value_or(style ? style->fontSize : 10.0);
    // Other kinds keep their text element as written.
    if (e.kind.isTextKind())
        noteUnreadNumber(font, f[size], sizeNumber(e.fontSize), context);
    e.isBold = fontFlag(f[bold], style, &ReportStyle::isBold);
    e.isItalic = fontFlag(f[italic], style, &ReportStyle::isItalic);
    e.isUnderline = fontFlag(f[underline], style, &ReportStyle::isUnderline);
    e.pdfFontName = fontText(f[pdfName], style, &ReportStyle::pdfFontName);
    e.pdfEncoding = fontText(f[pdfEncoding], style, &ReportStyle::pdfEncoding);
    e.isPdfEmbedded = fontFlag(f[pdfEmbedded], style, &ReportStyle::isPdfEmbedded);
}

// One side of the box: what its own element gives, else the box's pen, else the style's side.
// None where nothing gives the side anything; a width nothing gives is the engine's 0.
std::optional<BoxSidePen> sidePen(pugi::xml_node side, pugi::xml_node boxPen,
                                  const InheritedStyle::Pen *inherited)
{
    InheritedStyle::Pen pen = inherited ? *inherited : InheritedStyle::Pen{};
    setPenParts(pen, {side, boxPen});
    if (!side && pen.isEmpty())
        return std::nullopt;
    return BoxSidePen{pen.width.value_or(0), pen.color, pen.style.value_or(PenLineStyle::solid)};
}

void readBox(ReportElement &e, pugi::xml_node node, const InheritedStyle *inherited,
             JrxmlReadContext &context)
{
    const pugi::xml_node box = childNamed(node, "box");
    // Only texts, images and frames have a box to inherit.
    if (inherited && (!inherited->hasBox || !hasBox(e.kind)))
        inherited = nullptr;
    if (!box && !inherited)
        return;
    const pugi::xml_node boxPen = childNamed(box, "pen");
    std::optional<BoxSidePen> *const sides[] = {&e.topPen, &e.leftPen, &e.bottomPen, &e.rightPen};
    for (int i = 0; i < 4; ++i)
        *sides[i] = sidePen(childNamed(box, boxPenTags[i].data()), boxPen,
                            inherited ? &inherited->sides[i] : nullptr);
    // The frame's border width stands on its top side. Its colour stays on the pens: the
    // element's own fore colour is another value.
    if (e.kind.is<ElementKind::Frame>() && e.topPen)
        e.penWidth = e.topPen->width;
    // Other kinds keep their box as written.
    const bool isWritten = hasBox(e.kind);
    if (isWritten) {
        for (int i = 0; i < 4; ++i) {
            const pugi::xml_node side = childNamed(box, boxPenTags[i].data());
            if (*sides[i])
                noteUnreadNumber(side, attribute(side, "lineWidth"),
                                 decimalNumber((*sides[i])->width), context);
        }
    }
    // The engine reads the box's padding as a whole number, as it reads each side's.
    std::optional<double> padding;
    if (const pugi::xml_attribute all = attribute(box, "padding"))
        padding = isWritten ? lengthValue(box, all, 0, context) : heldLength(all.value(), 0);
    static constexpr const char *paddings[] = {"leftPadding", "rightPadding", "topPadding",
                                               "bottomPadding"};
    double *const values[] = {&e.paddingLeft, &e.paddingRight, &e.paddingTop, &e.paddingBottom};
    for (int i = 0; i < 4; ++i) {
        std::optional<double> value = padding;
        if (!value && inherited)
            value = inherited->paddings[i];
        // A side the engine cannot read as a whole number is held as it could read it.
        const pugi::xml_attribute side = attribute(box, paddings[i]);
        if (side && isWritten)
            value = lengthValue(box, side, value.value_or(0), context);
        else if (const std::optional<double> own = doubleValue(side))
            value = own;
        *values[i] = value.value_or(0);
    }
}

// The fill the engine gives the element: its back colour (its own, its style's, else white) when
// it is opaque, none when it is transparent. A line and a break fill nothing: they keep the colour
// as given.
std::optional<ElementColor> fillColor(const ReportElement &e, pugi::xml_attribute backcolor,
                                      pugi::xml_attribute mode, const ReportStyle *style,
                                      const InheritedStyle *inherited)
{
    std::optional<ElementColor> color = colorValue(backcolor);
    if (!color && style)
        color = style->backColor;
    if (e.kind.is<ElementKind::Line>() || e.kind.is<ElementKind::ReportBreak>())
        return color;
    bool isOpaque = isOpaqueByDefault(e.kind);
    if (mode)
        isOpaque = is(mode.value(), "Opaque");
    else if (inherited && inherited->isOpaque)
        isOpaque = *inherited->isOpaque;
    if (!isOpaque)
        return std::nullopt;
    return color ? color : ElementColor{QStringLiteral("#FFFFFF")};
}

} // namespace

bool isOpaqueByDefault(const ElementKind &kind)
{
    using K = ElementKind;
    return kind.is<K::Rectangle>() || kind.is<K::Ellipse>() || kind.is<K::List>() ||
           kind.is<K::Table>() || kind.is<K::ComponentPlaceholder>() ||
           kind.is<K::GenericElement>();
}

std::optional<ElementColor> colorAttr(pugi::xml_node node, const char *name)
{
    return colorValue(attribute(node, name));
}

std::optional<ElementColor> colorValue(pugi::xml_attribute attr)
{
    if (attr)
        return ElementColor{valueText(attr.value())};
    return std::nullopt;
}

TextAlignment textAlignmentText(const char *text)
{
    return is(text, "Center")  ? TextAlignment::center
           : is(text, "Right") ? TextAlignment::right
                               : TextAlignment::left;
}

std::optional<double> doubleAttr(pugi::xml_node node, const char *name)
{
    return doubleValue(attribute(node, name));
}

std::optional<double> doubleValue(pugi::xml_attribute attr)
{
    if (!attr)
        return std::nullopt;
    if (const std::optional<double> read = engineFloat(attr.value()))
        return std::isfinite(*read) ? read : std::nullopt;
    return toDouble(attr.value());
}

namespace {

// The attribute as a note quotes it: `name="text" on <tag>`, at most 40 characters of the text.
QString quoted(pugi::xml_node node, pugi::xml_attribute attr)
{
    constexpr qsizetype quotedLength = 40;
    QString text = QString::fromUtf8(attr.value());
    if (text.size() > quotedLength)
        text = text.left(quotedLength) + u'…';
    return QString::fromUtf8(attr.name()) + u"=\""_s + text + u"\" on <"_s +
           QString::fromUtf8(node.name()) + u'>';
}

} // namespace

double heldLength(const char *text, double fallback)
{
    if (const std::optional<double> whole = engineLength(text))
        return *whole;
    const std::optional<double> number = toDouble(text);
    if (!number)
        return fallback;
    constexpr double largest = 2147483647;
    const double held = std::clamp(double(std::round(*number)), -largest, largest);
    return held == 0 ? 0 : held; // not -0
}

double lengthValue(pugi::xml_node node, pugi::xml_attribute attr, double fallback,
                   JrxmlReadContext &context)
{
    if (!attr)
        return fallback;
    if (const std::optional<double> whole = engineLength(attr.value()))
        return *whole;
    const double held = heldLength(attr.value(), fallback);
    context.note(quoted(node, attr) +
                 u" is not a whole number the engine can read; the report now holds "_s +
                 wholeNumber(held));
    return held;
}

void noteUnreadNumber(pugi::xml_node node, pugi::xml_attribute attr, const QString &held,
                      JrxmlReadContext &context)
{
    if (!attr)
        return;
    const std::optional<double> read = engineFloat(attr.value());
    if (read && std::isfinite(*read))
        return;
    context.note(
        quoted(node, attr) +
        (read ? u" is not a finite number; "_s : u" is not a number the engine can read; "_s) +
        (held.isEmpty() ? u"the report leaves it out"_s : u"the report now holds "_s + held));
}

double lengthAttr(pugi::xml_node node, const char *name, double fallback, JrxmlReadContext &context)
{
    return lengthValue(node, attribute(node, name), fallback, context);
}

ReportElement makeElement(pugi::xml_node node, ElementKind kind, JrxmlReadContext &context)
{
    ReportElement e;
    e.id = newId();
    e.kind = std::move(kind);

    pugi::xml_node re = childNamed(node, "reportElement");
    if (!re)
        re = childNamed(childNamed(node, "chart"), "reportElement");
    // The position line's attributes, found in one walk over them.
    const NamedAttributes r(re, reportElementLookups);
    namespace ra = reportElementAttribute;
    e.x = lengthValue(re, r[ra::x], 0, context);
    e.y = lengthValue(re, r[ra::y], 0, context);
    e.width = lengthValue(re, r[ra::width], 100, context);
    e.height = lengthValue(re, r[ra::height], 20, context);

    if (r[ra::style])
        e.styleName = valueText(r[ra::style].value());
    // An element that names no style takes the report's default style, as the engine does; a
    // text whose font names a report font (or a style) takes that one.
    const ReportStyle *style = e.styleName ? context.style(*e.styleName) : nullptr;
    if (!e.styleName) {
        const pugi::xml_node font = childNamed(childNamed(node, "textElement"), "font");
        if (const pugi::xml_attribute reportFont = attribute(font, "reportFont"))
            style = context.style(valueText(reportFont.value()));
        if (!style)
            style = context.defaultStyle();
    }
    const InheritedStyle *inherited = context.inherited(style);
    e.foreColor = colorValue(r[ra::forecolor]);
    if (!e.foreColor && style)
        e.foreColor = style->foreColor;
    e.backColor = fillColor(e, r[ra::backcolor], r[ra::mode], style, inherited);

    readTextFormatting(e, node, style, inherited, context);

    // The line pen of the element, else of its style chain; other kinds keep the style's.
    const pugi::xml_node graphicPen = childNamed(childNamed(node, "graphicElement"), "pen");
    std::optional<double> penWidth = doubleAttr(graphicPen, "lineWidth");
    using K = ElementKind;
    if (e.kind.is<K::Line>() || e.kind.is<K::Rectangle>() || e.kind.is<K::Ellipse>()) {
        // The outline prints in the pen's colour (its own, else its style chain's), else in the
        // fore colour: that is the colour the element shows and is edited as.
        if (const pugi::xml_attribute color = attribute(graphicPen, "lineColor"))
            e.foreColor = colorValue(color);
        else if (inherited && inherited->linePen.color)
            e.foreColor = inherited->linePen.color;
        else if (inherited && inherited->penFallbackColor)
            e.foreColor = inherited->penFallbackColor;
    }
    // A line's side of 0 stays 0: the engine takes it as one point (printedWidth and
    // printedHeight), and the file keeps what it said.
    if (e.kind.is<K::Line>() || e.kind.is<K::Rectangle>() || e.kind.is<K::Ellipse>() ||
        e.kind.is<K::Image>()) {
        if (!penWidth && inherited)
            penWidth = inherited->linePen.width;
        e.penWidth = penWidth.value_or(1.0);
        noteUnreadNumber(graphicPen, attribute(graphicPen, "lineWidth"), decimalNumber(e.penWidth),
                         context);
    } else {
        e.penWidth = penWidth.value_or(style ? style->penWidth : 1.0);
    }

    readBox(e, node, inherited, context);

    if (e.kind.hasEvaluationTime()) {
        e.evaluationTime = attrTextOr(node, "evaluationTime", u"Now"_s);
        e.evaluationGroup = attrText(node, "evaluationGroup");
    }
    // Other kinds keep these attributes as written.
    if (e.kind.is<ElementKind::TextField>()) {
        e.pattern = attrText(node, "pattern");
        e.isBlankWhenNull = isTrue(node, "isBlankWhenNull");
    }

    // The stretch type and a text field's growing (isStretchWithOverflow, kept as written) are
    // two settings.
    e.stretchType = enumValue<StretchType>(r[ra::stretchType]).value_or(StretchType::noStretch);
    e.positionType =
        enumValue<PositionType>(r[ra::positionType]).value_or(PositionType::fixRelativeToTop);
    if (e.kind.is<ElementKind::TextField>()) {
        // No value is the engine's cutting of the text; the older flag makes it grow.
        e.textAdjust = enumAttr<TextAdjust>(node, "textAdjust");
        if (!e.textAdjust && is(attribute(node, "isStretchWithOverflow").value(), "true"))
            e.textAdjust = TextAdjust::stretchHeight;
    }

    e.printWhenExpression = childText(re, "printWhenExpression");
    e.hyperlinkExpression = childText(node, "hyperlinkReferenceExpression");
    if (e.kind.is<ElementKind::Table>())
        e.tableWhenNoDataType =
            enumAttr<WhenNoDataType>(componentChild(node, "table"), "whenNoDataType");

    if (e.kind.is<ElementKind::Subreport>()) {
        e.isUsingCache = !is(attribute(node, "isUsingCache").value(), "false");
        e.runToBottom = !is(attribute(node, "runToBottom").value(), "false");
        e.overflowType = attrText(node, "overflowType");
    }
    readElementKept(e, node, re, context);
    // The reader reserves room for the parts an element usually has; what stays unused would
    // take about as much as the element itself.
    e.kept.squeeze();
    return e;
}

} // namespace JrxmlCodec
