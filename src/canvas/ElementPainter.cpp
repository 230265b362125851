#include "canvas/ElementPainter.h"

#include "canvas/ElementFaceGeometry.h"
#include "canvas/ElementImageLoader.h"
#include "canvas/ElementPlaceholders.h"
#include "canvas/ImagePrintGeometry.h"
#include "canvas/TextLabelCache.h"
#include "model/ElementFill.h"
#include "setup/ImageExpression.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

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

// A frame's border: its side pens as read, each in its own colour or else the frame's fore
// colour; a frame without pens prints none while its width is the 1 point that stands for none
// (the width the user sets is written as four pens in the fore colour).
ImagePrintGeometry::Border frameBorder(const ReportElement &element)
{
    using ImagePrintGeometry::Side;
    if (!element.topPen && !element.leftPen && !element.bottomPen && !element.rightPen) {
        if (element.penWidth == 1.0)
            return {};
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

void paintTextLabel(QPainter *painter, const QRectF &frame, const QString &text,
                    const ReportElement &element, bool italicized,
                    const ElementFaceContext &context)
{
    painter->fillRect(frame, printedFill(element, context));
    QFont font = ElementPlaceholders::sceneFont(painter, element.fontName, element.fontSize);
    font.setBold(element.isBold);
    font.setItalic(element.isItalic || italicized);
    font.setUnderline(element.isUnderline);
    painter->setFont(font);
    painter->setPen(displayColor(element.foreColor, ColorUse::stroke));
    TextLabelCache::draw(
        painter, ElementFaceGeometry::textBox(frame),
        ElementFaceGeometry::frameAlignment(element.textAlignment, element.verticalAlignment) |
            Qt::TextWordWrap,
        text);
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

// The picture scaled and placed as the engine prints it, clipped to the frame less its padding.
void paintPicture(QPainter *painter, const QRectF &frame, const ReportElement &element,
                  const ElementImageLoader::Result &picture, const ElementFaceContext &context)
{
    const ImagePrintGeometry::Placement placement =
        ImagePrintGeometry::placement(element, stylesOf(context));
    const QRectF area = ImagePrintGeometry::pictureArea(element, frame);
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
    const double ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSizeF areaPixels = painter->worldTransform().mapRect(area).size() * ratio;
    if (picture.size.isEmpty())
        return int(std::ceil(std::max(areaPixels.width(), areaPixels.height())));
    const QSizeF drawn = painter->worldTransform()
                             .mapRect(ImagePrintGeometry::pictureRect(
                                 area, QSizeF(picture.size),
                                 ImagePrintGeometry::placement(element, stylesOf(context))))
                             .size() *
                         ratio;
    // Each way the picture may be stretched differently; the larger stretch decides.
    const double scale =
        std::max(drawn.width() / picture.size.width(), drawn.height() / picture.size.height());
    return int(std::ceil(std::max(picture.size.width(), picture.size.height()) * scale));
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
    if (context.images) {
        // Asked for at the size the area would show; once the picture's own size is known, at
        // the size it is drawn at.
        const QRectF area = ImagePrintGeometry::pictureArea(element, frame);
        const int guess = drawnSide(painter, area, element, result, context);
        result = context.images->image(*location, guess);
        if (!result.size.isEmpty()) {
            const int side = drawnSide(painter, area, element, result, context);
            if (ElementImageLoader::decodedSide(side) > ElementImageLoader::decodedSide(guess))
                result = context.images->image(*location, side);
        }
    }
    if (result.phase == ElementImageLoader::Phase::loaded) {
        paintPicture(painter, frame, element, result, context);
        return true;
    }
    ElementPlaceholders::paintImagePlaceholder(painter, frame, expression,
                                               result.phase == ElementImageLoader::Phase::failed);
    return false;
}

void paintShape(QPainter *painter, const QRectF &frame, const ReportElement &element, bool ellipse,
                const ElementFaceContext &context)
{
    painter->setPen(strokePen(element));
    painter->setBrush(printedFill(element, context));
    if (ellipse)
        painter->drawEllipse(frame);
    else
        painter->drawRect(frame);
}

} // namespace

namespace ElementPainter {

void paintContent(QPainter *painter, const ReportElement &element, const QRectF &frame,
                  const ElementFaceContext &context)
{
    const ElementKind &kind = element.kind;
    // Pens print their whole width centred on the element's edges, so half of a thick one lies
    // outside the box: outlines and lines are not clipped to it.
    if (kind.is<ElementKind::Rectangle>() || kind.is<ElementKind::Ellipse>()) {
        painter->save();
        paintShape(painter, frame, element, kind.is<ElementKind::Ellipse>(), context);
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
    painter->save();
    painter->setClipRect(frame, Qt::IntersectClip);
    bool bordered = false;
    if (const auto *text = kind.as<ElementKind::StaticText>()) {
        if (context.isEditingInline)
            painter->fillRect(frame, Qt::white);
        else
            paintTextLabel(painter, frame, text->text, element, false, context);
    } else if (const auto *field = kind.as<ElementKind::TextField>()) {
        paintTextLabel(painter, frame, field->expression, element, true, context);
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
        painter->fillRect(frame, printedFill(element, context));
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
        paintBorder(painter, frame, ImagePrintGeometry::border(element), element.foreColor);
        painter->restore();
    }
}

void paintOverlay(QPainter *painter, const ReportElement &element, const QRectF &frame)
{
    painter->save();
    if (element.kind.is<ElementKind::Frame>()) {
        paintBorder(painter, frame, frameBorder(element), element.foreColor);
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
        return widestSide(frameBorder(element)) / 2;
    if (kind.is<ElementKind::Image>())
        return widestSide(ImagePrintGeometry::border(element)) / 2;
    return 0;
}

void paintTree(QPainter *painter, const ReportElement &element, const ElementFaceContext &context)
{
    const QRectF frame =
        ElementFaceGeometry::drawnFrame(element.printedWidth(), element.printedHeight());
    paintContent(painter, element, frame, context);
    if (const ElementList *children = element.kind.children()) {
        painter->save();
        painter->setClipRect(frame, Qt::IntersectClip);
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
