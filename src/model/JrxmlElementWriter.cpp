// The writer of report elements: the reportElement block, boxes, text formatting and the content
// of each kind that the designer edits.

#include "JrxmlCodecInternal.h"
#include "JrxmlText.h"

using namespace Qt::StringLiterals;
using namespace JrxmlText;

namespace JrxmlCodec {

namespace {

bool hasStyleNamed(const QList<ReportStyle> &styles, const QString &name)
{
    for (const ReportStyle &style : styles) {
        if (style.name == name)
            return true;
    }
    return false;
}

// The tag of the kinds written here; components and pass-through kinds are written elsewhere.
QLatin1StringView tagOf(const ElementKind &kind)
{
    if (kind.is<ElementKind::StaticText>())
        return "staticText"_L1;
    if (kind.is<ElementKind::TextField>())
        return "textField"_L1;
    if (kind.is<ElementKind::Image>())
        return "image"_L1;
    if (kind.is<ElementKind::Subreport>())
        return "subreport"_L1;
    if (kind.is<ElementKind::Frame>())
        return "frame"_L1;
    if (kind.is<ElementKind::ReportBreak>())
        return "break"_L1;
    if (kind.is<ElementKind::Ellipse>())
        return "ellipse"_L1;
    if (kind.is<ElementKind::Line>())
        return "line"_L1;
    return "rectangle"_L1;
}

void appendTagAttrs(QString &out, const ReportElement &e)
{
    if (e.kind.is<ElementKind::TextField>()) {
        if (e.evaluationTime != "Now"_L1)
            appendAttr(out, "evaluationTime"_L1, e.evaluationTime);
        if (e.evaluationTime == "Group"_L1 && !isAbsentOrEmpty(e.evaluationGroup))
            appendAttr(out, "evaluationGroup"_L1, *e.evaluationGroup);
        if (!isAbsentOrEmpty(e.pattern))
            appendAttr(out, "pattern"_L1, *e.pattern);
        appendTrueFlag(out, "isBlankWhenNull"_L1, e.isBlankWhenNull);
        appendTrueFlag(out, "isStretchWithOverflow"_L1, e.stretchType != StretchType::noStretch);
        if (e.textAdjust && *e.textAdjust != TextAdjust::stretchHeight)
            appendRawAttr(out, "textAdjust"_L1, rawValue(*e.textAdjust));
        if (!isAbsentOrEmpty(e.hyperlinkExpression))
            appendRawAttr(out, "hyperlinkType"_L1, u"Reference");
    } else if (const auto *pageBreak = e.kind.as<ElementKind::ReportBreak>()) {
        if (pageBreak->type == BreakType::column)
            appendRawAttr(out, "type"_L1, u"Column");
    } else if (e.kind.is<ElementKind::Subreport>()) {
        if (!e.isUsingCache)
            appendRawAttr(out, "isUsingCache"_L1, u"false");
        if (!e.runToBottom)
            appendRawAttr(out, "runToBottom"_L1, u"false");
        if (!isAbsentOrEmpty(e.overflowType))
            appendAttr(out, "overflowType"_L1, *e.overflowType);
    }
}

void appendBox(QString &out, const ReportElement &e)
{
    const QString padding = paddingAttrs(e);
    const bool hasPen = e.topPen || e.leftPen || e.bottomPen || e.rightPen;
    if (!hasPen) {
        if (!padding.isEmpty())
            out += indent(16) + "<box"_L1 + padding + "/>\n"_L1;
        return;
    }
    out += indent(16) + "<box"_L1 + padding + ">\n"_L1;
    if (e.topPen)
        out += penXML("topPen"_L1, *e.topPen);
    if (e.leftPen)
        out += penXML("leftPen"_L1, *e.leftPen);
    if (e.bottomPen)
        out += penXML("bottomPen"_L1, *e.bottomPen);
    if (e.rightPen)
        out += penXML("rightPen"_L1, *e.rightPen);
    out += indent(16) + "</box>\n"_L1;
}

// The frame's border is its top pen, or a pen of its pen width and fore colour. A frame without
// a fore colour gets a border without a colour (black when drawn), so that reading the file back
// does not give the frame a fore colour it did not have.
void appendFrameBox(QString &out, const ReportElement &e)
{
    const BoxSidePen border =
        e.topPen ? *e.topPen : BoxSidePen{e.penWidth, e.foreColor, PenLineStyle::solid};
    out += indent(16) + "<box"_L1 + paddingAttrs(e) + ">\n"_L1;
    out += penXML("topPen"_L1, border);
    out += penXML("leftPen"_L1, e.leftPen.value_or(border));
    out += penXML("bottomPen"_L1, e.bottomPen.value_or(border));
    out += penXML("rightPen"_L1, e.rightPen.value_or(border));
    out += indent(16) + "</box>\n"_L1;
}

void appendTextElement(QString &out, const ReportElement &e)
{
    out += indent(16) + "<textElement"_L1;
    appendRawAttr(out, "textAlignment"_L1, rawValue(e.textAlignment));
    if (e.verticalAlignment != VerticalTextAlignment::top)
        appendRawAttr(out, "verticalAlignment"_L1, rawValue(e.verticalAlignment));
    if (e.markup)
        appendAttr(out, "markup"_L1, *e.markup);
    out += ">\n"_L1 + indent(20) + "<font"_L1;
    appendAttr(out, "fontName"_L1, e.fontName);
    appendRawAttr(out, "size"_L1, wholeNumber(e.fontSize));
    appendRawAttr(out, "isBold"_L1, e.isBold ? u"true" : u"false");
    appendRawAttr(out, "isItalic"_L1, e.isItalic ? u"true" : u"false");
    appendRawAttr(out, "isUnderline"_L1, e.isUnderline ? u"true" : u"false");
    if (!isAbsentOrEmpty(e.pdfFontName))
        appendAttr(out, "pdfFontName"_L1, *e.pdfFontName);
    if (!isAbsentOrEmpty(e.pdfEncoding))
        appendAttr(out, "pdfEncoding"_L1, *e.pdfEncoding);
    appendTrueFlag(out, "isPdfEmbedded"_L1, e.isPdfEmbedded);
    out += "/>\n"_L1 + indent(16) + "</textElement>\n"_L1;
}

void appendGraphicElement(QString &out, const ReportElement &e)
{
    out += indent(16) + "<graphicElement>\n"_L1 + indent(20) + "<pen"_L1;
    appendRawAttr(out, "lineWidth"_L1, decimalNumber(e.penWidth));
    out += "/>\n"_L1 + indent(16) + "</graphicElement>\n"_L1;
}

void appendSubreportContent(QString &out, const ElementKind::Subreport &subreport)
{
    for (const SubreportParameter &parameter : subreport.parameters) {
        out += indent(16) + "<subreportParameter"_L1;
        appendAttr(out, "name"_L1, parameter.name);
        out += ">\n"_L1;
        appendCDataLine(out, 20, "subreportParameterExpression"_L1, parameter.expression);
        out += indent(16) + "</subreportParameter>\n"_L1;
    }
    if (!isAbsentOrEmpty(subreport.connectionExpression))
        appendCDataLine(out, 16, "connectionExpression"_L1, *subreport.connectionExpression);
    else if (!isAbsentOrEmpty(subreport.dataSourceExpression))
        appendCDataLine(out, 16, "dataSourceExpression"_L1, *subreport.dataSourceExpression);
    appendCDataLine(out, 16, "subreportExpression"_L1, subreport.expression);
}

void appendContent(QString &out, const ReportElement &e, const QList<ReportStyle> &styles)
{
    if (const auto *text = e.kind.as<ElementKind::StaticText>()) {
        appendCDataLine(out, 16, "text"_L1, text->text);
    } else if (const auto *field = e.kind.as<ElementKind::TextField>()) {
        appendCDataLine(out, 16, "textFieldExpression"_L1, field->expression);
        if (!isAbsentOrEmpty(e.hyperlinkExpression))
            appendCDataLine(out, 16, "hyperlinkReferenceExpression"_L1, *e.hyperlinkExpression);
    } else if (const auto *image = e.kind.as<ElementKind::Image>()) {
        appendGraphicElement(out, e);
        appendCDataLine(out, 16, "imageExpression"_L1, image->expression);
    } else if (const auto *subreport = e.kind.as<ElementKind::Subreport>()) {
        appendSubreportContent(out, *subreport);
    } else if (const auto *frame = e.kind.as<ElementKind::Frame>()) {
        appendFrameBox(out, e);
        for (const ReportElement &child : frame->children)
            appendElement(out, child, styles);
    } else if (e.kind.is<ElementKind::Rectangle>() || e.kind.is<ElementKind::Ellipse>() ||
               e.kind.is<ElementKind::Line>()) {
        appendGraphicElement(out, e);
    }
}

} // namespace

void appendGeometryAttrs(QString &out, const ReportElement &e)
{
    appendRawAttr(out, "x"_L1, wholeNumber(e.x));
    appendRawAttr(out, "y"_L1, wholeNumber(e.y));
    appendRawAttr(out, "width"_L1, wholeNumber(e.width));
    appendRawAttr(out, "height"_L1, wholeNumber(e.height));
}

void appendColorAttrs(QString &out, const std::optional<ElementColor> &foreColor,
                      const std::optional<ElementColor> &backColor, bool withMode)
{
    if (foreColor)
        appendAttr(out, "forecolor"_L1, foreColor->hex);
    if (backColor) {
        appendAttr(out, "backcolor"_L1, backColor->hex);
        if (withMode)
            appendRawAttr(out, "mode"_L1, u"Opaque");
    }
}

QString paddingAttrs(const ReportElement &e)
{
    QString text;
    const std::pair<QLatin1StringView, double> sides[] = {{"leftPadding"_L1, e.paddingLeft},
                                                          {"rightPadding"_L1, e.paddingRight},
                                                          {"topPadding"_L1, e.paddingTop},
                                                          {"bottomPadding"_L1, e.paddingBottom}};
    // Whether a side is written is decided on the whole number written, so that a padding below
    // one half is left out the first time as on every later save.
    for (const auto &[name, value] : sides) {
        const QString written = wholeNumber(value);
        if (written != "0"_L1)
            appendRawAttr(text, name, written);
    }
    return text;
}

QString penXML(QLatin1StringView side, const BoxSidePen &pen)
{
    QString line = indent(20) + u'<' + side;
    appendRawAttr(line, "lineWidth"_L1, decimalNumber(pen.width));
    if (pen.color)
        appendAttr(line, "lineColor"_L1, pen.color->hex);
    if (pen.style != PenLineStyle::solid)
        appendRawAttr(line, "lineStyle"_L1, rawValue(pen.style));
    line += "/>\n"_L1;
    return line;
}

void appendReportElement(QString &out, const ReportElement &e, const QList<ReportStyle> &styles)
{
    out += indent(16) + "<reportElement"_L1;
    appendGeometryAttrs(out, e);
    if (e.positionType != PositionType::fixRelativeToTop)
        appendRawAttr(out, "positionType"_L1, rawValue(e.positionType));
    if (e.stretchType != StretchType::noStretch)
        appendRawAttr(out, "stretchType"_L1, rawValue(e.stretchType));
    if (e.styleName && hasStyleNamed(styles, *e.styleName))
        appendAttr(out, "style"_L1, *e.styleName);
    appendColorAttrs(out, e.foreColor, e.backColor);
    if (isAbsentOrEmpty(e.printWhenExpression)) {
        out += "/>\n"_L1;
        return;
    }
    out += ">\n"_L1;
    appendCDataLine(out, 20, "printWhenExpression"_L1, *e.printWhenExpression);
    out += indent(16) + "</reportElement>\n"_L1;
}

void appendElement(QString &out, const ReportElement &e, const QList<ReportStyle> &styles)
{
    if (appendPassThrough(out, e) || appendComponent(out, e, styles))
        return;
    const QLatin1StringView tag = tagOf(e.kind);
    out += indent(12) + u'<' + tag;
    appendTagAttrs(out, e);
    out += ">\n"_L1;
    appendReportElement(out, e, styles);
    if (e.kind.isTextKind() || e.kind.is<ElementKind::Image>() ||
        e.kind.is<ElementKind::Subreport>())
        appendBox(out, e);
    if (e.kind.isTextKind())
        appendTextElement(out, e);
    appendContent(out, e, styles);
    out += indent(12) + "</"_L1 + tag + ">\n"_L1;
}

} // namespace JrxmlCodec
