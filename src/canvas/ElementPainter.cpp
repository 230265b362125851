#include "canvas/ElementPainter.h"

#include "canvas/ElementFaceGeometry.h"
#include "canvas/ElementImageLoader.h"
#include "canvas/ElementPlaceholders.h"
#include "model/ElementFill.h"
#include "setup/ImageExpression.h"

#include <QPainter>

using namespace Qt::StringLiterals;
using ElementFaceGeometry::ColorUse;
using ElementFaceGeometry::displayColor;

namespace {

// Outlines and lines: butt caps, miter joins, no dash; a width of 0 is left to the painter.
QPen strokePen(const ReportElement &element)
{
    QPen pen(displayColor(element.foreColor, ColorUse::stroke), element.penWidth, Qt::SolidLine,
             Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

// A frame's border is drawn in its top side pen's colour when the pen has one; a side without a
// colour takes the frame's fore colour.
QPen framePen(const ReportElement &element)
{
    QPen pen = strokePen(element);
    if (element.topPen && element.topPen->color)
        pen.setColor(displayColor(element.topPen->color, ColorUse::stroke));
    return pen;
}

// The background as the engine prints it: filled in the opaque mode only.
QColor printedFill(const ReportElement &element, const ElementFaceContext &context)
{
    return displayColor(ElementFill::printedFill(element, context.styles), ColorUse::fill);
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
    painter->drawText(
        ElementFaceGeometry::textBox(frame),
        ElementFaceGeometry::frameAlignment(element.textAlignment, element.verticalAlignment) |
            Qt::TextWordWrap,
        text);
}

// The picture scaled to fill the whole frame, its aspect kept, centred; the overflow is clipped.
void paintFilling(QPainter *painter, const QRectF &frame, const QImage &image)
{
    const QSizeF filled = QSizeF(image.size()).scaled(frame.size(), Qt::KeepAspectRatioByExpanding);
    QRectF target(QPointF(), filled);
    target.moveCenter(frame.center());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(target, image);
}

void paintImage(QPainter *painter, const QRectF &frame, const QString &expression,
                const ElementFaceContext &context)
{
    const std::optional<QUrl> location = ImageExpression::resolve(expression, context.reportURL);
    if (!location) {
        ElementPlaceholders::paintImagePlaceholder(painter, frame, expression, false);
        return;
    }
    ElementImageLoader::Result result;
    if (context.images)
        result = context.images->image(*location);
    if (result.phase == ElementImageLoader::Phase::loaded)
        paintFilling(painter, frame, result.image);
    else
        ElementPlaceholders::paintImagePlaceholder(
            painter, frame, expression, result.phase == ElementImageLoader::Phase::failed);
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
    painter->save();
    painter->setClipRect(frame, Qt::IntersectClip);
    const ElementKind &kind = element.kind;
    if (const auto *text = kind.as<ElementKind::StaticText>()) {
        if (context.isEditingInline)
            painter->fillRect(frame, Qt::white);
        else
            paintTextLabel(painter, frame, text->text, element, false, context);
    } else if (const auto *field = kind.as<ElementKind::TextField>()) {
        paintTextLabel(painter, frame, field->expression, element, true, context);
    } else if (const auto *image = kind.as<ElementKind::Image>()) {
        paintImage(painter, frame, image->expression, context);
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
    } else if (kind.is<ElementKind::Rectangle>() || kind.is<ElementKind::Ellipse>()) {
        paintShape(painter, frame, element, kind.is<ElementKind::Ellipse>(), context);
    } else if (kind.is<ElementKind::Line>()) {
        painter->setPen(strokePen(element));
        painter->drawLine(ElementFaceGeometry::lineEnds(element.width, element.height)
                              .translated(frame.topLeft()));
    }
    // Lists draw nothing under their children.
    painter->restore();
}

void paintOverlay(QPainter *painter, const ReportElement &element, const QRectF &frame)
{
    painter->save();
    painter->setClipRect(frame, Qt::IntersectClip);
    if (element.kind.is<ElementKind::Frame>()) {
        painter->setPen(framePen(element));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(frame);
    } else if (const auto *list = element.kind.as<ElementKind::List>()) {
        ElementPlaceholders::paintListOverlay(painter, frame, list->datasetName);
    }
    painter->restore();
}

void paintTree(QPainter *painter, const ReportElement &element, const ElementFaceContext &context)
{
    const QRectF frame = ElementFaceGeometry::drawnFrame(element.width, element.height);
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
