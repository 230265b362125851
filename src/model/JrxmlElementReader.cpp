// The reader of report elements: an XML element whose kind is known becomes a ReportElement,
// values the file leaves out coming from the element's named style.

#include "Identifiers.h"
#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

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

void readTextFormatting(ReportElement &e, pugi::xml_node node, const ReportStyle *style)
{
    const pugi::xml_node textElement = childNamed(node, "textElement");
    const pugi::xml_node font = childNamed(textElement, "font");
    e.markup = attrText(textElement, "markup");

    if (const pugi::xml_attribute align = attribute(textElement, "textAlignment")) {
        e.textAlignment = textAlignmentText(align.value());
    } else {
        e.textAlignment = style ? style->textAlignment : TextAlignment::left;
    }
    const char *vertical = attribute(textElement, "verticalAlignment").value();
    e.verticalAlignment = is(vertical, "Middle")   ? VerticalTextAlignment::middle
                          : is(vertical, "Bottom") ? VerticalTextAlignment::bottom
                                                   : VerticalTextAlignment::top;

    // The font's attributes are each asked for here and again for what the element keeps.
    const NamedAttributes f(font, fontAttributes);
    using namespace fontAttribute;
    if (f[name])
        e.fontName = valueText(f[name].value());
    else
        e.fontName = style ? style->fontName : u"SansSerif"_s;
    e.fontSize = doubleValue(f[size]).value_or(style ? style->fontSize : 10.0);
    e.isBold = fontFlag(f[bold], style, &ReportStyle::isBold);
    e.isItalic = fontFlag(f[italic], style, &ReportStyle::isItalic);
    e.isUnderline = fontFlag(f[underline], style, &ReportStyle::isUnderline);
    e.pdfFontName = fontText(f[pdfName], style, &ReportStyle::pdfFontName);
    e.pdfEncoding = fontText(f[pdfEncoding], style, &ReportStyle::pdfEncoding);
    e.isPdfEmbedded = fontFlag(f[pdfEmbedded], style, &ReportStyle::isPdfEmbedded);
}

void readBox(ReportElement &e, pugi::xml_node node)
{
    const pugi::xml_node box = childNamed(node, "box");
    if (!box)
        return;
    if (e.kind.is<ElementKind::Frame>()) {
        // The frame's border width stands on its top side. Its colour stays on the pens: the
        // element's own fore colour is another value.
        if (const pugi::xml_node top = childNamed(box, "topPen")) {
            if (const std::optional<double> width = doubleAttr(top, "lineWidth"))
                e.penWidth = *width;
        }
    }
    const double padding = doubleAttr(box, "padding").value_or(0);
    e.paddingLeft = doubleAttr(box, "leftPadding").value_or(padding);
    e.paddingRight = doubleAttr(box, "rightPadding").value_or(padding);
    e.paddingTop = doubleAttr(box, "topPadding").value_or(padding);
    e.paddingBottom = doubleAttr(box, "bottomPadding").value_or(padding);
    e.topPen = boxSidePen(childNamed(box, "topPen"));
    e.leftPen = boxSidePen(childNamed(box, "leftPen"));
    e.bottomPen = boxSidePen(childNamed(box, "bottomPen"));
    e.rightPen = boxSidePen(childNamed(box, "rightPen"));
}

} // namespace

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
    return toDouble(attr.value());
}

std::optional<BoxSidePen> boxSidePen(pugi::xml_node node)
{
    if (!node)
        return std::nullopt;
    BoxSidePen pen;
    pen.width = doubleAttr(node, "lineWidth").value_or(1.0);
    pen.color = colorAttr(node, "lineColor");
    pen.style = enumAttr<PenLineStyle>(node, "lineStyle").value_or(PenLineStyle::solid);
    return pen;
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
    const NamedAttributes r(re, reportElementAttributes);
    namespace ra = reportElementAttribute;
    e.x = doubleValue(r[ra::x]).value_or(0);
    e.y = doubleValue(r[ra::y]).value_or(0);
    e.width = doubleValue(r[ra::width]).value_or(100);
    e.height = doubleValue(r[ra::height]).value_or(20);

    if (r[ra::style])
        e.styleName = valueText(r[ra::style].value());
    // An element that names no style takes the report's default style, as the engine does.
    const ReportStyle *style = e.styleName ? context.style(*e.styleName) : context.defaultStyle();
    e.foreColor = colorValue(r[ra::forecolor]);
    if (!e.foreColor && style)
        e.foreColor = style->foreColor;
    e.backColor = colorValue(r[ra::backcolor]);
    if (!e.backColor && style)
        e.backColor = style->backColor;

    readTextFormatting(e, node, style);

    const std::optional<double> penWidth =
        doubleAttr(childNamed(childNamed(node, "graphicElement"), "pen"), "lineWidth");
    e.penWidth = penWidth.value_or(style ? style->penWidth : 1.0);

    readBox(e, node);

    // Other kinds keep these attributes as written.
    if (e.kind.is<ElementKind::TextField>()) {
        e.evaluationTime = attrTextOr(node, "evaluationTime", u"Now"_s);
        e.evaluationGroup = attrText(node, "evaluationGroup");
        e.pattern = attrText(node, "pattern");
        e.isBlankWhenNull = isTrue(node, "isBlankWhenNull");
    }

    // The stretch type and a text field's growing (isStretchWithOverflow, kept as written) are
    // two settings.
    e.stretchType = enumValue<StretchType>(r[ra::stretchType]).value_or(StretchType::noStretch);
    e.positionType =
        enumValue<PositionType>(r[ra::positionType]).value_or(PositionType::fixRelativeToTop);
    if (e.kind.is<ElementKind::TextField>())
        e.textAdjust = enumAttr<TextAdjust>(node, "textAdjust");

    e.printWhenExpression = childText(re, "printWhenExpression");
    e.hyperlinkExpression = childText(node, "hyperlinkReferenceExpression");
    e.tableWhenNoDataType =
        enumAttr<WhenNoDataType>(childNamed(node, "jr:table"), "whenNoDataType");

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
