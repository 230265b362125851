#include "canvas/ImagePrintGeometry.h"

#include "model/JrxmlText.h"
#include "model/StyleChain.h"

#include <QXmlStreamReader>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace ImagePrintGeometry {

namespace {

// The value of the attribute `own` on the element, else of `styled` on its style (the report's
// default style for an element that names none) or the styles it inherits from.
const QString *attributeOf(const ReportElement &element, const QList<ReportStyle> &styles,
                           QStringView own, QStringView styled)
{
    if (const QString *value = element.kept.part({}).attribute(own))
        return value;
    const ReportStyle *style = StyleChain::ofElement(element, styles);
    for (int depth = 0; style && depth < StyleChain::deepest; ++depth) {
        if (const QString *value = style->kept.part({}).attribute(styled))
            return value;
        style = StyleChain::parentOf(*style, styles);
    }
    return nullptr;
}

ScaleImage scaleText(const QString *text)
{
    if (!text)
        return ScaleImage::retainShape;
    if (*text == "Clip"_L1)
        return ScaleImage::clip;
    if (*text == "FillFrame"_L1)
        return ScaleImage::fillFrame;
    if (*text == "RealHeight"_L1)
        return ScaleImage::realHeight;
    if (*text == "RealSize"_L1)
        return ScaleImage::realSize;
    return ScaleImage::retainShape;
}

double alignmentText(const QString *text, QLatin1StringView centre, QLatin1StringView end)
{
    if (!text)
        return 0;
    return *text == centre ? 0.5 : *text == end ? 1 : 0;
}

// Whether a save leaves the attribute `name` out because the model still holds `value`, the
// value the reader supplied for it: the engine then takes what it inherits.
bool leftOut(const KeptXml &kept, QStringView name, double value)
{
    const QString written = JrxmlText::decimalNumber(value);
    return std::any_of(kept.absent.cbegin(), kept.absent.cend(),
                       [&](const KeptXml::AbsentAttribute &a) {
                           return a.name == name && a.value == written && a.with.isEmpty();
                       });
}

PenLineStyle lineStyleText(QStringView text)
{
    for (PenLineStyle style : {PenLineStyle::dashed, PenLineStyle::dotted, PenLineStyle::double_}) {
        if (text == rawValue(style))
            return style;
    }
    return PenLineStyle::solid;
}

// The box's own pen (`<box><pen .../>`), which the model keeps as the file wrote it: a side
// without a pen of its own takes it.
struct BoxPen {
    std::optional<double> width;
    std::optional<ElementColor> color;
    std::optional<PenLineStyle> style;
};

BoxPen boxPen(const ReportElement &element)
{
    BoxPen pen;
    for (const KeptXml::Child &child : element.kept.part(u"box").children) {
        QXmlStreamReader xml(child.xml);
        if (!xml.readNextStartElement() || xml.name() != "pen"_L1)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.hasAttribute("lineWidth"_L1)) {
            bool ok = false;
            const double width = attributes.value("lineWidth"_L1).toDouble(&ok);
            if (ok)
                pen.width = width;
        }
        if (attributes.hasAttribute("lineColor"_L1))
            pen.color = ElementColor{attributes.value("lineColor"_L1).toString()};
        if (attributes.hasAttribute("lineStyle"_L1))
            pen.style = lineStyleText(attributes.value("lineStyle"_L1));
        break;
    }
    return pen;
}

Side side(const ReportElement &element, const std::optional<BoxSidePen> &own, QStringView key,
          const BoxPen &box)
{
    Side s;
    const bool ownWidth = own && !leftOut(element.kept.part(key), u"lineWidth", own->width);
    s.width = ownWidth ? own->width : box.width.value_or(0);
    s.color = own && own->color ? own->color : box.color;
    s.style = own && own->style != PenLineStyle::solid ? own->style
                                                       : box.style.value_or(PenLineStyle::solid);
    return s;
}

} // namespace

Placement placement(const ReportElement &element, const QList<ReportStyle> &styles)
{
    Placement p;
    p.scale = scaleText(attributeOf(element, styles, u"scaleImage", u"scaleImage"));
    p.horizontal = alignmentText(attributeOf(element, styles, u"hAlign", u"hImageAlign"),
                                 "Center"_L1, "Right"_L1);
    p.vertical = alignmentText(attributeOf(element, styles, u"vAlign", u"vImageAlign"), "Middle"_L1,
                               "Bottom"_L1);
    return p;
}

QRectF pictureArea(const ReportElement &element, const QRectF &frame)
{
    QRectF area = frame.adjusted(element.paddingLeft, element.paddingTop, -element.paddingRight,
                                 -element.paddingBottom);
    area.setWidth(std::max(area.width(), 0.0));
    area.setHeight(std::max(area.height(), 0.0));
    return area;
}

QRectF pictureRect(const QRectF &area, const QSizeF &picture, const Placement &placement)
{
    if (picture.isEmpty())
        return area;
    const double w = picture.width();
    const double h = picture.height();
    QSizeF size = picture;
    // The grown modes print the element as high as the picture needs: the picture then starts
    // at the top.
    bool grows = false;
    switch (placement.scale) {
    case ScaleImage::clip:
        break;
    case ScaleImage::fillFrame:
        size = area.size();
        break;
    case ScaleImage::retainShape:
        size = picture * std::min(area.width() / w, area.height() / h);
        break;
    case ScaleImage::realHeight:
        size = picture * (area.width() / w);
        grows = size.height() > area.height();
        break;
    case ScaleImage::realSize:
        size = picture * std::min(1.0, area.width() / w);
        grows = size.height() > area.height();
        break;
    }
    const double x = area.x() + (area.width() - size.width()) * placement.horizontal;
    const double y =
        grows ? area.y() : area.y() + (area.height() - size.height()) * placement.vertical;
    return QRectF(QPointF(x, y), size);
}

Border border(const ReportElement &element)
{
    const BoxPen box = boxPen(element);
    Border b{side(element, element.topPen, u"box/topPen", box),
             side(element, element.leftPen, u"box/leftPen", box),
             side(element, element.bottomPen, u"box/bottomPen", box),
             side(element, element.rightPen, u"box/rightPen", box)};
    if (b.top.width > 0 || b.left.width > 0 || b.bottom.width > 0 || b.right.width > 0)
        return b;
    // No side: the graphic pen, in the element's fore colour unless the pen names its own.
    const KeptXml &pen = element.kept.part(u"graphicElement/pen");
    Side graphic;
    graphic.width = leftOut(pen, u"lineWidth", element.penWidth) ? 0 : element.penWidth;
    if (const QString *color = pen.attribute(u"lineColor"))
        graphic.color = ElementColor{*color};
    if (const QString *style = pen.attribute(u"lineStyle"))
        graphic.style = lineStyleText(*style);
    return Border{graphic, graphic, graphic, graphic};
}

} // namespace ImagePrintGeometry
