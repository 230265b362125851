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
    if (e.kind.hasEvaluationTime()) {
        if (e.evaluationTime != "Now"_L1)
            appendAttr(out, "evaluationTime"_L1, e.evaluationTime);
        if (e.evaluationTime == "Group"_L1 && !isAbsentOrEmpty(e.evaluationGroup))
            appendAttr(out, "evaluationGroup"_L1, *e.evaluationGroup);
    }
    if (e.kind.is<ElementKind::TextField>()) {
        if (!isAbsentOrEmpty(e.pattern))
            appendAttr(out, "pattern"_L1, *e.pattern);
        appendTrueFlag(out, "isBlankWhenNull"_L1, e.isBlankWhenNull);
        if (e.textAdjust)
            appendRawAttr(out, "textAdjust"_L1, rawValue(*e.textAdjust));
        // A hyperlink of another type keeps its own.
        if (!isAbsentOrEmpty(e.hyperlinkExpression) && !e.kept.part({}).attribute(u"hyperlinkType"))
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

// Ends a start tag that has no content of its own: empty, or holding its kept children.
void closeWithKept(QString &out, int spaces, QLatin1StringView tag, const KeptXml &kept,
                   TagOrder order)
{
    if (kept.children.isEmpty()) {
        out += "/>\n"_L1;
        return;
    }
    out += ">\n"_L1;
    KeptChildWriter(kept, order, spaces + 4).rest(out);
    out += indent(spaces) + "</"_L1 + tag + ">\n"_L1;
}

// A side pen with what the file held besides its width, colour and style.
void appendPen(QString &out, QLatin1StringView side, const BoxSidePen &pen, const KeptXml &kept)
{
    const QString line = penXML(side, pen);
    const qsizetype start = out.size() + 20;
    out += line.chopped(3); // without "/>\n"
    appendKeptAttributes(out, start, kept);
    out += "/>\n"_L1;
}

// Whether a side the file did not have holds nothing but what it inherits (from the box's pen or
// the style), so that it stays out; decided without writing it.
bool holdsOnlyInherited(const BoxSidePen &pen, const KeptXml &side)
{
    if (!side.attributes.isEmpty() || !side.children.isEmpty())
        return false;
    const auto inherits = [&](QStringView name, const QString &value) {
        for (const KeptXml::AbsentAttribute &a : side.absent) {
            if (a.name == name)
                return a.with.isEmpty() && a.value == value;
        }
        return false;
    };
    return inherits(u"lineWidth", decimalNumber(pen.width)) &&
           (!pen.color || inherits(u"lineColor", pen.color->hex)) &&
           (pen.style == PenLineStyle::solid || inherits(u"lineStyle", rawValue(pen.style)));
}

void appendBoxPens(QString &out, const ReportElement &e, const KeptXml &box,
                   const std::optional<BoxSidePen> (&pens)[4])
{
    KeptChildWriter kept(box, tagOrder::box, 20);
    kept.before(out, "topPen");
    for (int i = 0; i < 4; ++i) {
        if (!pens[i])
            continue;
        const KeptXml &side = e.kept.part(boxPenParts[i]);
        const bool fileHadNone = box.absentChildren.contains(boxPenTags[i]);
        if (fileHadNone && holdsOnlyInherited(*pens[i], side))
            continue;
        const qsizetype before = out.size();
        appendPen(out, boxPenTags[i], *pens[i], side);
        // A side the file did not have, all of whose values are inherited, stays out.
        const qsizetype empty = 20 + 1 + boxPenTags[i].size() + 3; // "<topPen/>\n"
        if (out.size() - before == empty && fileHadNone)
            out.truncate(before);
    }
    kept.rest(out);
}

void appendBox(QString &out, const ReportElement &e)
{
    const KeptXml &box = e.kept.part(u"box");
    const bool hasPen = e.topPen || e.leftPen || e.bottomPen || e.rightPen;
    out += indent(16);
    const qsizetype start = out.size();
    out += "<box"_L1;
    appendPaddingAttrs(out, e);
    if (!hasPen && out.size() == start + 4 && box.isEmpty()) {
        out.truncate(start - 16);
        return;
    }
    appendKeptAttributes(out, start, box);
    const qsizetype tagEnd = out.size();
    out += ">\n"_L1;
    appendBoxPens(out, e, box, {e.topPen, e.leftPen, e.bottomPen, e.rightPen});
    if (out.size() > tagEnd + 2) {
        out += indent(16) + "</box>\n"_L1;
        return;
    }
    // Without attributes left (all inherited) a box the file did not have says nothing.
    out.truncate(tagEnd);
    if (out.size() == start + 4 && !box.present)
        out.truncate(start - 16);
    else
        out += "/>\n"_L1;
}

// The frame's border is its pens as read; a frame without pens whose pen width the user set gets
// four pens of that width and its fore colour.
void appendFrameBox(QString &out, const ReportElement &e)
{
    if (e.topPen || e.leftPen || e.bottomPen || e.rightPen || e.penWidth == 1.0) {
        appendBox(out, e);
        return;
    }
    const BoxSidePen border{e.penWidth, e.foreColor, PenLineStyle::solid};
    ReportElement bordered = e;
    bordered.topPen = bordered.leftPen = bordered.bottomPen = bordered.rightPen = border;
    appendBox(out, bordered);
}

void appendTextElement(QString &out, const ReportElement &e)
{
    const KeptXml &own = e.kept.part(u"textElement");
    const KeptXml &font = e.kept.part(u"textElement/font");
    QString fontTag = indent(20);
    const qsizetype fontStart = fontTag.size();
    fontTag += "<font"_L1;
    appendAttr(fontTag, "fontName"_L1, e.fontName);
    appendSizeAttr(fontTag, "size"_L1, e.fontSize);
    appendRawAttr(fontTag, "isBold"_L1, e.isBold ? u"true" : u"false");
    appendRawAttr(fontTag, "isItalic"_L1, e.isItalic ? u"true" : u"false");
    appendRawAttr(fontTag, "isUnderline"_L1, e.isUnderline ? u"true" : u"false");
    if (!isAbsentOrEmpty(e.pdfFontName))
        appendAttr(fontTag, "pdfFontName"_L1, *e.pdfFontName);
    if (!isAbsentOrEmpty(e.pdfEncoding))
        appendAttr(fontTag, "pdfEncoding"_L1, *e.pdfEncoding);
    appendTrueFlag(fontTag, "isPdfEmbedded"_L1, e.isPdfEmbedded);
    appendKeptAttributes(fontTag, fontStart, font);
    const bool fontSaysNothing =
        fontTag.size() == fontStart + 5 && font.children.isEmpty() && !font.present;

    const qsizetype start = openTag(out, 16, "textElement"_L1);
    appendRawAttr(out, "textAlignment"_L1, rawValue(e.textAlignment));
    // Top where it overrides an inherited alignment.
    if (e.verticalAlignment != VerticalTextAlignment::top ||
        own.inheritsOtherThan(u"verticalAlignment", u"Top"))
        appendRawAttr(out, "verticalAlignment"_L1, rawValue(e.verticalAlignment));
    if (e.markup)
        appendAttr(out, "markup"_L1, *e.markup);
    appendKeptAttributes(out, start, own);
    if (fontSaysNothing && own.children.isEmpty()) {
        if (out.size() == start + 12 && !own.present)
            out.truncate(start - 16); // everything is inherited
        else
            out += "/>\n"_L1;
        return;
    }
    out += ">\n"_L1;
    KeptChildWriter kept(own, TagOrder{}, 20);
    if (!fontSaysNothing) {
        out += fontTag;
        closeWithKept(out, 20, "font"_L1, font, {});
    }
    kept.rest(out);
    out += indent(16) + "</textElement>\n"_L1;
}

void appendGraphicElement(QString &out, const ReportElement &e)
{
    const KeptXml &own = e.kept.part(u"graphicElement");
    KeptXml pen = e.kept.part(u"graphicElement/pen");
    // The pen's own colour is the element's colour, as the reader holds it.
    bool hasColor = false;
    for (KeptXml::Attribute &attribute : pen.attributes) {
        if (e.foreColor && attribute.name == u"lineColor") {
            attribute.value = e.foreColor->hex;
            hasColor = true;
        }
    }
    // A colour changed from the one the pen inherited is the pen's own.
    if (e.foreColor && !hasColor && pen.inheritsOtherThan(u"lineColor", e.foreColor->hex))
        pen.attributes.prepend({u"lineColor"_s, e.foreColor->hex});
    const qsizetype start = openTag(out, 16, "graphicElement"_L1);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1 + indent(20);
    const qsizetype penStart = out.size();
    out += "<pen"_L1;
    appendRawAttr(out, "lineWidth"_L1, decimalNumber(e.penWidth));
    appendKeptAttributes(out, penStart, pen);
    if (out.size() == penStart + 4 && pen.children.isEmpty())
        out.truncate(penStart - 20); // the width is inherited
    else
        out += "/>\n"_L1;
    KeptChildWriter(own, TagOrder{}, 20).rest(out);
    if (!out.endsWith("<graphicElement>\n"_L1)) {
        out += indent(16) + "</graphicElement>\n"_L1;
    } else if (out.size() == start + 17 && !own.present) {
        out.truncate(start - 16); // it says nothing, and the file had none
    } else {
        out.chop(2); // nothing inside
        out += "/>\n"_L1;
    }
}

// An expression line of the element, with the attributes the file gave the expression; none
// while the file had none and the expression is empty.
void appendExpression(QString &out, const ReportElement &e, QLatin1StringView tag, QStringView text)
{
    const Utf16Name name(tag);
    if (e.kept.part({}).leavesOut(name, text))
        return;
    const KeptXml &kept = e.kept.part(name);
    const qsizetype start = openTag(out, 16, tag);
    appendKeptAttributes(out, start, kept);
    out += u'>';
    appendCData(out, text);
    out += "</"_L1 + tag + ">\n"_L1;
}

void appendSubreportContent(QString &out, const ReportElement &e,
                            const ElementKind::Subreport &subreport, KeptChildWriter &kept)
{
    kept.before(out, "subreportParameter");
    for (const SubreportParameter &parameter : subreport.parameters) {
        appendPassedParameter(out, 16, "subreportParameter"_L1, "subreportParameterExpression"_L1,
                              parameter);
    }
    kept.before(out, "connectionExpression");
    // The two are never both written: a connection expression wins.
    const KeptXml &own = e.kept.part({});
    if (isWrittenExpression(subreport.connectionExpression, own, u"connectionExpression"))
        appendCDataLine(out, 16, "connectionExpression"_L1, *subreport.connectionExpression);
    else if (isWrittenExpression(subreport.dataSourceExpression, own, u"dataSourceExpression"))
        appendCDataLine(out, 16, "dataSourceExpression"_L1, *subreport.dataSourceExpression);
    kept.before(out, "subreportExpression");
    appendExpression(out, e, "subreportExpression"_L1, subreport.expression);
}

void appendContent(QString &out, const ReportElement &e, const QList<ReportStyle> &styles,
                   KeptChildWriter &kept)
{
    if (const auto *text = e.kind.as<ElementKind::StaticText>()) {
        if (!e.kept.part({}).leavesOut(u"text", text->text))
            appendCDataLine(out, 16, "text"_L1, text->text);
    } else if (const auto *field = e.kind.as<ElementKind::TextField>()) {
        appendExpression(out, e, "textFieldExpression"_L1, field->expression);
        kept.before(out, "hyperlinkReferenceExpression");
        if (isWrittenExpression(e.hyperlinkExpression, e.kept.part({}),
                                u"hyperlinkReferenceExpression"))
            appendCDataLine(out, 16, "hyperlinkReferenceExpression"_L1, *e.hyperlinkExpression);
    } else if (const auto *image = e.kind.as<ElementKind::Image>()) {
        appendGraphicElement(out, e);
        kept.before(out, "imageExpression");
        appendExpression(out, e, "imageExpression"_L1, image->expression);
    } else if (const auto *subreport = e.kind.as<ElementKind::Subreport>()) {
        appendSubreportContent(out, e, *subreport, kept);
    } else if (const auto *frame = e.kind.as<ElementKind::Frame>()) {
        appendFrameBox(out, e);
        kept.through(out, "box");
        appendElements(out, frame->children, styles, &e.kept.part({}));
    } else if (e.kind.is<ElementKind::Rectangle>() || e.kind.is<ElementKind::Ellipse>() ||
               e.kind.is<ElementKind::Line>()) {
        appendGraphicElement(out, e);
    }
}

} // namespace

bool isWrittenExpression(const std::optional<QString> &expression, const KeptXml &kept,
                         QStringView tag)
{
    return !isAbsentOrEmpty(expression) ||
           (expression && expression->isEmpty() && kept.keepsEmpty(tag));
}

void appendPassedParameter(QString &out, int spaces, QLatin1StringView tag,
                           QLatin1StringView expressionTag, const SubreportParameter &parameter)
{
    const qsizetype start = openTag(out, spaces, tag);
    appendAttr(out, "name"_L1, parameter.name);
    appendKeptAttributes(out, start, parameter.kept);
    const bool hasExpression =
        !parameter.kept.leavesOut(Utf16Name(expressionTag), parameter.expression);
    if (!hasExpression && parameter.kept.children.isEmpty()) {
        out += "/>\n"_L1;
        return;
    }
    out += ">\n"_L1;
    if (hasExpression)
        appendCDataLine(out, spaces + 4, expressionTag, parameter.expression);
    KeptChildWriter(parameter.kept, TagOrder{}, spaces + 4).rest(out);
    out += indent(spaces) + "</"_L1 + tag + ">\n"_L1;
}

void appendGeometryAttrs(QString &out, const ReportElement &e)
{
    appendWholeNumberAttr(out, "x"_L1, e.x);
    appendWholeNumberAttr(out, "y"_L1, e.y);
    appendWholeNumberAttr(out, "width"_L1, e.width);
    appendWholeNumberAttr(out, "height"_L1, e.height);
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

void appendPaddingAttrs(QString &out, const ReportElement &e)
{
    const std::pair<QLatin1StringView, double> sides[] = {{"leftPadding"_L1, e.paddingLeft},
                                                          {"rightPadding"_L1, e.paddingRight},
                                                          {"topPadding"_L1, e.paddingTop},
                                                          {"bottomPadding"_L1, e.paddingBottom}};
    // Whether a side is written is decided on the whole number written, so that a padding below
    // one half is left out the first time as on every later save.
    for (const auto &[name, value] : sides)
        appendWholeNumberAttr(out, name, value, true);
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

void appendReportElement(QString &out, const ReportElement &e, const QList<ReportStyle> &styles,
                         int spaces)
{
    const KeptXml &kept = e.kept.part(u"reportElement");
    const qsizetype start = openTag(out, spaces, "reportElement"_L1);
    appendGeometryAttrs(out, e);
    if (e.positionType != PositionType::fixRelativeToTop)
        appendRawAttr(out, "positionType"_L1, rawValue(e.positionType));
    if (e.stretchType != StretchType::noStretch)
        appendRawAttr(out, "stretchType"_L1, rawValue(e.stretchType));
    if (e.styleName && hasStyleNamed(styles, *e.styleName))
        appendAttr(out, "style"_L1, *e.styleName);
    // A mode the file gave (Transparent) stays as it was.
    // A fore colour kept as written is not the one the element holds (its pen's): it is written
    // as it was, in its place.
    const QString *keptForeColor = kept.attribute(u"forecolor");
    appendColorAttrs(out, keptForeColor ? std::optional(ElementColor{*keptForeColor}) : e.foreColor,
                     e.backColor, !kept.attribute(u"mode"));
    appendKeptAttributes(out, start, kept);
    if (!isWrittenExpression(e.printWhenExpression, kept, u"printWhenExpression") &&
        kept.children.isEmpty()) {
        out += "/>\n"_L1;
        return;
    }
    out += ">\n"_L1;
    KeptChildWriter children(kept, tagOrder::element("reportElement"), spaces + 4);
    children.before(out, "printWhenExpression");
    if (isWrittenExpression(e.printWhenExpression, kept, u"printWhenExpression"))
        appendCDataLine(out, spaces + 4, "printWhenExpression"_L1, *e.printWhenExpression);
    children.rest(out);
    out += indent(spaces) + "</reportElement>\n"_L1;
}

void ElementGroupWriter::moveTo(QString &out, const QList<ElementGroupLevel> &groups)
{
    qsizetype common = 0;
    while (common < open_.size() && common < groups.size() &&
           open_.at(common) == groups.at(common).ordinal)
        ++common;
    while (open_.size() > common) {
        open_.removeLast();
        out += indent(12) + "</elementGroup>\n"_L1;
    }
    for (qsizetype i = common; i < groups.size(); ++i) {
        const KeptXml &kept = groups.at(i).kept;
        open_.append(groups.at(i).ordinal);
        // A group split by a change of drawing order holds its other content once.
        const bool first = !written_.contains(open_);
        const qsizetype start = openTag(out, 12, "elementGroup"_L1);
        if (first || kept.comments.isEmpty()) {
            appendKeptAttributes(out, start, kept);
        } else {
            KeptXml withoutComments = kept;
            withoutComments.comments.clear();
            appendKeptAttributes(out, start, withoutComments);
        }
        out += ">\n"_L1;
        if (first) {
            written_.append(open_);
            KeptChildWriter(kept, TagOrder{}, 12).rest(out);
        }
    }
}

void appendElement(QString &out, const ReportElement &e, const QList<ReportStyle> &styles)
{
    if (appendPassThrough(out, e, styles) || appendComponent(out, e, styles))
        return;
    const QLatin1StringView tag = tagOf(e.kind);
    const KeptXml &own = e.kept.part({});
    const qsizetype start = openTag(out, 12, tag);
    appendTagAttrs(out, e);
    appendKeptAttributes(out, start, own);
    out += ">\n"_L1;
    // The tag is one of the literals above, which end in a null character.
    KeptChildWriter kept(own, tagOrder::element(tag.data()), 16);
    appendReportElement(out, e, styles);
    kept.through(out, "reportElement");
    // The format gives a subreport no box.
    if (e.kind.isTextKind() || e.kind.is<ElementKind::Image>())
        appendBox(out, e);
    kept.through(out, "box");
    if (e.kind.isTextKind())
        appendTextElement(out, e);
    kept.through(out, "textElement");
    appendContent(out, e, styles, kept);
    kept.rest(out);
    out += indent(12) + "</"_L1 + tag + ">\n"_L1;
}

} // namespace JrxmlCodec
