#include "canvas/ElementPainter.h"

#include "canvas/ElementFaceGeometry.h"
#include "canvas/ElementImageLoader.h"
#include "canvas/ElementPlaceholders.h"
#include "canvas/ImagePrintGeometry.h"
#include "canvas/PrintFaces.h"
#include "canvas/PrintedTextLayout.h"
#include "canvas/TextLabelCache.h"
#include "document/ContainerRoom.h"
#include "model/ElementFill.h"
#include "setup/ImageExpression.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using ElementFaceGeometry::ColorUse;
using ElementFaceGeometry::displayColor;

namespace {

// Outlines and lines: butt caps, miter joins, no dash. A pen of no width prints nothing (the
// painter would draw it as a hairline).
QPen strokePen(const ReportElement &element)
{
    if (element.penWidth <= 0)
        return QPen(Qt::NoPen);
    QPen pen(displayColor(element.foreColor, ColorUse::stroke), element.penWidth, Qt::SolidLine,
             Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

// A frame without pens prints no border while its width is the 1 point that stands for none
// (the width the user sets is written as four pens in the fore colour).
bool printsNoFrameBorder(const ReportElement &element)
{
    return !element.topPen && !element.leftPen && !element.bottomPen && !element.rightPen &&
           element.penWidth == 1.0;
}

// A frame's border: its side pens as read, each in its own colour or else the frame's fore
// colour; none where printsNoFrameBorder.
ImagePrintGeometry::Border frameBorder(const ReportElement &element)
{
    using ImagePrintGeometry::Side;
    if (printsNoFrameBorder(element))
        return {};
    if (!element.topPen && !element.leftPen && !element.bottomPen && !element.rightPen) {
        const Side all{std::max(element.penWidth, 0.0), std::nullopt, PenLineStyle::solid};
        return {all, all, all, all};
    }
    const auto side = [](const std::optional<BoxSidePen> &pen) {
        return pen ? Side{std::max(pen->width, 0.0), pen->color, pen->style} : Side{};
    };
    return {side(element.topPen), side(element.leftPen), side(element.bottomPen),
            side(element.rightPen)};
}

double widestSide(const ImagePrintGeometry::Border &border)
{
    return std::max(
        {border.top.width, border.left.width, border.bottom.width, border.right.width, 0.0});
}

// The part of the drawn frame that prints: the element's own size from the frame's corner, which
// may be less than the 4 points the frame is raised to.
QRectF printedPart(const ReportElement &element, const QRectF &frame)
{
    return QRectF(frame.topLeft(),
                  QSizeF(std::clamp(element.printedWidth(), 0.0, frame.width()),
                         std::clamp(element.printedHeight(), 0.0, frame.height())));
}

// The report's styles the face was given, or none.
const QList<ReportStyle> &stylesOf(const ElementFaceContext &context)
{
    static const QList<ReportStyle> noStyles;
    return context.styles ? *context.styles : noStyles;
}

// The background as the engine prints it: filled in the opaque mode only.
QColor printedFill(const ReportElement &element, const ElementFaceContext &context)
{
    return displayColor(ElementFill::printedFill(element, stylesOf(context)), ColorUse::fill);
}

// How many times larger than its size a text's font is made so that it is a whole number of
// pixels (the toolkit sizes fonts in whole pixels): 1 for a whole size.
double wholeScale(double size)
{
    for (const double scale : {1.0, 2.0, 4.0, 8.0}) {
        if (std::abs(size * scale - std::round(size * scale)) < 1e-6)
            return scale;
    }
    return 16;
}

void paintTextLabel(QPainter *painter, const QRectF &frame, const QString &text,
                    const ReportElement &element, bool italicized,
                    const ElementFaceContext &context)
{
    painter->fillRect(frame, printedFill(element, context));
    const double size = std::max(element.fontSize, 0.5);
    const double scale = wholeScale(size);
    const auto textFont = [&](const QString &family, bool bold, bool italic) {
        QFont font = ElementPlaceholders::sceneFont(painter, family, size);
        font.setPixelSize(int(std::lround(size * scale)));
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(element.isUnderline);
        PrintedTextLayout::shapeAsPrinted(font);
        return font;
    };
    // A family the engine does not have prints in another face than it is measured in.
    const bool italic = element.isItalic || italicized;
    const PrintFaces::TextFaces faces =
        PrintFaces::textFaces(element.fontName, element.pdfFontName, element.isBold, italic);
    const QFont font = textFont(faces.family, faces.isBold, faces.isItalic || italicized);
    painter->save();
    // A fractional size is drawn from the larger font, scaled down.
    painter->scale(1 / scale, 1 / scale);
    painter->setFont(font);
    painter->setPen(displayColor(element.foreColor, ColorUse::stroke));
    const PrintedTextLayout::Format format{
        ElementFaceGeometry::frameAlignment(element.textAlignment, element.verticalAlignment),
        ElementFaceGeometry::textInset * scale,
        ElementFaceGeometry::tabStopWidth(element, stylesOf(context)) * scale,
        faces.measuredFamily
            ? std::optional(textFont(*faces.measuredFamily, element.isBold, italic))
            : std::nullopt};
    const QRectF box = ElementFaceGeometry::textBox(frame);
    TextLabelCache::draw(painter, QRectF(box.topLeft() * scale, box.size() * scale), text, format);
    painter->restore();
}

Qt::PenStyle qtPenStyle(PenLineStyle style)
{
    switch (style) {
    case PenLineStyle::dashed:
        return Qt::DashLine;
    case PenLineStyle::dotted:
        return Qt::DotLine;
    case PenLineStyle::solid:
    case PenLineStyle::double_:
        break;
    }
    return Qt::SolidLine;
}

// A box border as the engine prints it: each side a line centred on the frame's edge, reaching
// half the neighbouring sides' widths beyond the corners.
void paintBorder(QPainter *painter, const QRectF &frame, const ImagePrintGeometry::Border &border,
                 const std::optional<ElementColor> &foreColor)
{
    const auto line = [&](const ImagePrintGeometry::Side &side, QPointF from, QPointF to) {
        if (side.width <= 0)
            return;
        QPen pen(displayColor(side.color ? side.color : foreColor, ColorUse::stroke), side.width,
                 qtPenStyle(side.style), Qt::FlatCap);
        painter->setPen(pen);
        painter->drawLine(from, to);
    };
    const double left = border.left.width / 2, right = border.right.width / 2;
    const double top = border.top.width / 2, bottom = border.bottom.width / 2;
    line(border.top, QPointF(frame.left() - left, frame.top()),
         QPointF(frame.right() + right, frame.top()));
    line(border.bottom, QPointF(frame.left() - left, frame.bottom()),
         QPointF(frame.right() + right, frame.bottom()));
    line(border.left, QPointF(frame.left(), frame.top() - top),
         QPointF(frame.left(), frame.bottom() + bottom));
    line(border.right, QPointF(frame.right(), frame.top() - top),
         QPointF(frame.right(), frame.bottom() + bottom));
}

// The picture scaled and placed as the engine prints it, clipped to `area`: the element's printed
// size less its padding.
void paintPicture(QPainter *painter, const QRectF &area, const ReportElement &element,
                  const ElementImageLoader::Result &picture, const ElementFaceContext &context)
{
    const ImagePrintGeometry::Placement placement =
        ImagePrintGeometry::placement(element, stylesOf(context));
    const QSizeF size =
        picture.size.isEmpty() ? QSizeF(picture.image.size()) : QSizeF(picture.size);
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(ImagePrintGeometry::pictureRect(area, size, placement), picture.image);
    painter->restore();
}

// The longest side, in the device's pixels, of the picture drawn in `area`: placed as the engine
// places it once its size is known, else filling the area.
int drawnSide(QPainter *painter, const QRectF &area, const ReportElement &element,
              const ElementImageLoader::Result &picture, const ElementFaceContext &context)
{
    // A file may give the area any size; the loader decodes no more than its largest side.
    const auto whole = [](double side) {
        return int(std::min(std::ceil(side), double(std::numeric_limits<int>::max())));
    };
    const double ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSizeF areaPixels = painter->worldTransform().mapRect(area).size() * ratio;
    if (picture.size.isEmpty())
        return whole(std::max(areaPixels.width(), areaPixels.height()));
    const QSizeF drawn = painter->worldTransform()
                             .mapRect(ImagePrintGeometry::pictureRect(
                                 area, QSizeF(picture.size),
                                 ImagePrintGeometry::placement(element, stylesOf(context))))
                             .size() *
                         ratio;
    // Each way the picture may be stretched differently; the larger stretch decides.
    const double scale =
        std::max(drawn.width() / picture.size.width(), drawn.height() / picture.size.height());
    return whole(std::max(picture.size.width(), picture.size.height()) * scale);
}

// Whether the picture was drawn (its border is then drawn too), else its placeholder.
bool paintImage(QPainter *painter, const QRectF &frame, const ReportElement &element,
                const QString &expression, const ElementFaceContext &context)
{
    const std::optional<QUrl> location = ImageExpression::resolve(expression, context.reportURL);
    if (!location) {
        ElementPlaceholders::paintImagePlaceholder(painter, frame, expression, false);
        return false;
    }
    ElementImageLoader::Result result;
    const QRectF area = ImagePrintGeometry::pictureArea(element, printedPart(element, frame));
    if (context.images) {
        // Asked for at the size the area would show; once the picture's own size is known, at
        // the size it is drawn at.
        const int guess = drawnSide(painter, area, element, result, context);
        result = context.images->image(*location, guess);
        if (!result.size.isEmpty()) {
            const int side = drawnSide(painter, area, element, result, context);
            if (ElementImageLoader::decodedSide(side) > ElementImageLoader::decodedSide(guess))
                result = context.images->image(*location, side);
        }
    }
    if (result.phase == ElementImageLoader::Phase::loaded) {
        paintPicture(painter, area, element, result, context);
        return true;
    }
    ElementPlaceholders::paintImagePlaceholder(painter, frame, expression,
                                               result.phase == ElementImageLoader::Phase::failed,
                                               result.failure);
    return false;
}

void paintShape(QPainter *painter, const QRectF &frame, const ReportElement &element, bool ellipse,
                const ElementFaceContext &context)
{
    // A shape folded flat fills nothing, and its outline is the rule the engine prints (stroked
    // as a closed outline, its turns would stand out as long miter spikes).
    if (const std::optional<QLineF> rule = ElementFaceGeometry::foldedShapeRule(
            frame.width(), frame.height(), element.penWidth, ellipse)) {
        QPen pen = strokePen(element);
        if (rule->isNull() || pen.style() == Qt::NoPen)
            return;
        pen.setCapStyle(Qt::FlatCap);
        painter->setPen(pen);
        painter->drawLine(rule->translated(frame.topLeft()));
        return;
    }
    painter->setPen(strokePen(element));
    painter->setBrush(printedFill(element, context));
    if (ellipse)
        painter->drawEllipse(frame);
    else
        painter->drawRect(frame);
}

// How far the element's ink reaches past its printed size on each side: its pens, and what its
// children's pens carry past its box.
QMarginsF inkMargins(const ReportElement &element)
{
    const double reach = ElementPainter::penReach(element);
    QMarginsF margins(reach, reach, reach, reach);
    const ElementList *children = element.kind.children();
    // Texts draw no pens.
    if (!children || std::all_of(children->begin(), children->end(),
                                 [](const ReportElement &c) { return c.kind.isTextKind(); }))
        return margins;
    const QRectF frame =
        ElementFaceGeometry::drawnFrame(element.printedWidth(), element.printedHeight());
    const QMarginsF out =
        ElementPainter::overflow(*children, frame, ContainerRoom::contentsOrigin(element));
    // Past the drawn frame, which may be larger than the printed size (never smaller).
    const auto past = [](double out, double drawn, double printed) {
        return out > 0 ? out + drawn - std::max(printed, 0.0) : 0.0;
    };
    return QMarginsF(
        std::max(margins.left(), out.left()), std::max(margins.top(), out.top()),
        std::max(margins.right(), past(out.right(), frame.width(), element.printedWidth())),
        std::max(margins.bottom(), past(out.bottom(), frame.height(), element.printedHeight())));
}

} // namespace

namespace ElementPainter {

void paintContent(QPainter *painter, const ReportElement &element, const QRectF &frame,
                  const ElementFaceContext &context)
{
    const ElementKind &kind = element.kind;
    const QRectF printed = printedPart(element, frame);
    // Pens print their whole width centred on the element's edges, so half of a thick one lies
    // outside the box: outlines and lines are not clipped to it.
    if (kind.is<ElementKind::Rectangle>() || kind.is<ElementKind::Ellipse>()) {
        painter->save();
        paintShape(painter, printed, element, kind.is<ElementKind::Ellipse>(), context);
        painter->restore();
        return;
    }
    if (kind.is<ElementKind::Line>()) {
        const QLineF ends =
            ElementFaceGeometry::lineEnds(element.printedWidth(), element.printedHeight());
        if (ends.isNull())
            return;
        painter->save();
        painter->setPen(strokePen(element));
        painter->drawLine(ends.translated(frame.topLeft()));
        painter->restore();
        return;
    }
    // Texts and a frame's fill print in the element's own size (and so do pictures, placed in
    // it); the placeholders fill the drawn frame.
    const bool printsInk = kind.is<ElementKind::StaticText>() ||
                           kind.is<ElementKind::TextField>() || kind.is<ElementKind::Frame>();
    const QRectF face = printsInk && !context.isEditingInline ? printed : frame;
    painter->save();
    painter->setClipRect(face, Qt::IntersectClip);
    bool bordered = false;
    if (const auto *text = kind.as<ElementKind::StaticText>()) {
        if (context.isEditingInline)
            painter->fillRect(frame, Qt::white);
        else
            paintTextLabel(painter, face, text->text, element, false, context);
    } else if (const auto *field = kind.as<ElementKind::TextField>()) {
        paintTextLabel(painter, face, field->expression, element, true, context);
    } else if (const auto *image = kind.as<ElementKind::Image>()) {
        bordered = paintImage(painter, frame, element, image->expression, context);
    } else if (const auto *subreport = kind.as<ElementKind::Subreport>()) {
        if (context.isCreatingSubreport)
            ElementPlaceholders::paintBox(painter, frame, {}, u"Creating subreport\u2026"_s, 1,
                                          true);
        else
            ElementPlaceholders::paintBox(painter, frame, u"doc.on.doc"_s, subreport->expression,
                                          2);
    } else if (kind.is<ElementKind::Frame>()) {
        painter->fillRect(face, printedFill(element, context));
    } else if (const auto *table = kind.as<ElementKind::Table>()) {
        ElementPlaceholders::paintTable(painter, frame, *table);
    } else if (const auto *pageBreak = kind.as<ElementKind::ReportBreak>()) {
        ElementPlaceholders::paintBreak(painter, frame, pageBreak->type);
    } else if (const auto *chart = kind.as<ElementKind::Chart>()) {
        ElementPlaceholders::paintBox(painter, frame, u"chart.bar.xaxis"_s, chart->tag, 1);
    } else if (kind.is<ElementKind::Crosstab>()) {
        ElementPlaceholders::paintBox(painter, frame, u"tablecells.badge.ellipsis"_s, u"Crosstab"_s,
                                      1);
    } else if (const auto *component = kind.as<ElementKind::ComponentPlaceholder>()) {
        ElementPlaceholders::paintBox(painter, frame, u"barcode"_s, component->tag, 1);
    } else if (kind.is<ElementKind::GenericElement>()) {
        ElementPlaceholders::paintBox(painter, frame, u"puzzlepiece"_s, u"Generic"_s, 1);
    }
    // Lists draw nothing under their children.
    painter->restore();
    if (bordered) {
        painter->save();
        paintBorder(painter, printed, ImagePrintGeometry::border(element), element.foreColor);
        painter->restore();
    }
}

void paintOverlay(QPainter *painter, const ReportElement &element, const QRectF &frame)
{
    painter->save();
    if (element.kind.is<ElementKind::Frame>()) {
        paintBorder(painter, printedPart(element, frame), frameBorder(element), element.foreColor);
    } else if (const auto *list = element.kind.as<ElementKind::List>()) {
        painter->setClipRect(frame, Qt::IntersectClip);
        ElementPlaceholders::paintListOverlay(painter, frame, list->datasetName);
    }
    painter->restore();
}

double penReach(const ReportElement &element)
{
    const ElementKind &kind = element.kind;
    if (kind.is<ElementKind::Line>() &&
        ElementFaceGeometry::lineEnds(element.printedWidth(), element.printedHeight()).isNull())
        return 0;
    if (kind.is<ElementKind::Line>() || kind.is<ElementKind::Rectangle>() ||
        kind.is<ElementKind::Ellipse>())
        return std::max(element.penWidth, 0.0) / 2;
    if (kind.is<ElementKind::Frame>())
        return printsNoFrameBorder(element) ? 0 : widestSide(frameBorder(element)) / 2;
    if (kind.is<ElementKind::Image>())
        return widestSide(ImagePrintGeometry::border(element)) / 2;
    return 0;
}

QMarginsF overflow(const ElementList &elements, const QRectF &box, QPointF origin)
{
    QMarginsF out;
    for (const ReportElement &e : elements) {
        // Texts, most of a report, draw no pens.
        if (e.kind.isTextKind())
            continue;
        const QMarginsF ink = inkMargins(e);
        if (ink.left() <= 0 && ink.top() <= 0 && ink.right() <= 0 && ink.bottom() <= 0)
            continue;
        const QRectF printed(origin + QPointF(e.x, e.y), QSizeF(std::max(e.printedWidth(), 0.0),
                                                                std::max(e.printedHeight(), 0.0)));
        if (printed.left() >= box.left())
            out.setLeft(std::max(out.left(), box.left() - printed.left() + ink.left()));
        if (printed.top() >= box.top())
            out.setTop(std::max(out.top(), box.top() - printed.top() + ink.top()));
        if (printed.right() <= box.right())
            out.setRight(std::max(out.right(), printed.right() + ink.right() - box.right()));
        if (printed.bottom() <= box.bottom())
            out.setBottom(std::max(out.bottom(), printed.bottom() + ink.bottom() - box.bottom()));
    }
    return out;
}

void paintTree(QPainter *painter, const ReportElement &element, const ElementFaceContext &context)
{
    const QRectF frame =
        ElementFaceGeometry::drawnFrame(element.printedWidth(), element.printedHeight());
    paintContent(painter, element, frame, context);
    if (const ElementList *children = element.kind.children()) {
        const QPointF origin = ContainerRoom::contentsOrigin(element);
        painter->save();
        painter->setClipRect(frame.marginsAdded(overflow(*children, frame, origin)),
                             Qt::IntersectClip);
        painter->translate(origin);
        for (const ReportElement &child : *children) {
            painter->save();
            painter->translate(child.x, child.y);
            paintTree(painter, child,
                      ElementFaceContext{context.reportURL, false, false, context.images,
                                         context.styles});
            painter->restore();
        }
        painter->restore();
    }
    paintOverlay(painter, element, frame);
}

} // namespace ElementPainter
