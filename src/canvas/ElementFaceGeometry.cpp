#include "canvas/ElementFaceGeometry.h"

#include "model/StyleChain.h"
#include "widgets/ColorHex.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace ElementFaceGeometry {

namespace {

// The whole number of points a kept `<paragraph>` child sets its tab stops apart.
std::optional<int> paragraphTabStopWidth(const KeptXml &kept)
{
    for (const KeptXml::Child &child : kept.children) {
        QXmlStreamReader xml(child.xml);
        if (!xml.readNextStartElement() || xml.name() != "paragraph"_L1)
            continue;
        bool ok = false;
        const int width = xml.attributes().value("tabStopWidth"_L1).toInt(&ok);
        if (ok)
            return width;
    }
    return std::nullopt;
}

} // namespace

QColor displayColor(const std::optional<ElementColor> &color, ColorUse use)
{
    const QColor fallback = use == ColorUse::stroke ? QColor(Qt::black) : QColor(Qt::transparent);
    if (!color)
        return fallback;
    return ColorHex::fromHex(color->hex).value_or(fallback);
}

QRectF drawnFrame(double width, double height)
{
    return QRectF(0, 0, std::max(width, minimumDrawnSize), std::max(height, minimumDrawnSize));
}

Qt::Alignment frameAlignment(TextAlignment horizontal, VerticalTextAlignment vertical)
{
    Qt::Alignment alignment;
    switch (horizontal) {
    case TextAlignment::left:
        alignment = Qt::AlignLeft;
        break;
    case TextAlignment::center:
        alignment = Qt::AlignHCenter;
        break;
    case TextAlignment::right:
        alignment = Qt::AlignRight;
        break;
    }
    switch (vertical) {
    case VerticalTextAlignment::top:
        return alignment | Qt::AlignTop;
    case VerticalTextAlignment::middle:
        return alignment | Qt::AlignVCenter;
    case VerticalTextAlignment::bottom:
        return alignment | Qt::AlignBottom;
    }
    return alignment | Qt::AlignTop;
}

QRectF textBox(const QRectF &frame)
{
    return frame.adjusted(textInset, 0, -textInset, 0);
}

double tabStopWidth(const ReportElement &element, const QList<ReportStyle> &styles)
{
    if (const std::optional<int> own = paragraphTabStopWidth(element.kept.part(u"textElement")))
        return *own;
    const ReportStyle *style = StyleChain::ofElement(element, styles);
    for (int depth = 0; style && depth < StyleChain::deepest; ++depth) {
        if (const std::optional<int> width = paragraphTabStopWidth(style->kept.part({})))
            return *width;
        style = StyleChain::parentOf(*style, styles);
    }
    return 40;
}

std::optional<QLineF> foldedShapeRule(double width, double height, double pen, bool ellipse)
{
    width = std::max(width, 0.0);
    height = std::max(height, 0.0);
    if (width > 0 && height > 0)
        return std::nullopt;
    if (width <= 0 && height <= 0)
        return QLineF();
    // The engine's outline starts and ends with a square cap: a rectangle's at its bottom-left
    // corner, an ellipse's at the middle of its right side. Where the outline turns back on
    // itself, the join is cut off flat.
    const double cap = std::max(pen, 0.0) / 2;
    if (height <= 0)
        return ellipse ? QLineF(0, 0, width + cap, 0) : QLineF(-cap, 0, width, 0);
    return ellipse ? QLineF(0, 0, 0, height) : QLineF(0, 0, 0, height + cap);
}

QList<double> tableColumnWidths(const QList<ReportTableColumn> &columns, double availableWidth)
{
    const double sum = std::accumulate(
        columns.begin(), columns.end(), 0.0,
        [](double total, const ReportTableColumn &column) { return total + column.width; });
    const double total = sum < 1 ? 1 : sum;
    QList<double> widths;
    widths.reserve(columns.size());
    for (const ReportTableColumn &column : columns)
        widths.append(availableWidth * column.width / total);
    return widths;
}

QLineF lineEnds(double width, double height)
{
    // A line no wider and no higher than 1 point prints nothing.
    if (width <= 1 && height <= 1)
        return {};
    // A rule of the usual 1-point height (or width) is a straight rule, not the diagonal of the
    // raised 4-point frame. It lies in the middle of its stored thickness.
    if (height <= 1)
        return QLineF(0, std::max(height, 0.0) / 2, std::max(width, 0.0),
                      std::max(height, 0.0) / 2);
    if (width <= 1)
        return QLineF(std::max(width, 0.0) / 2, 0, std::max(width, 0.0) / 2, height);
    const QRectF frame = drawnFrame(width, height);
    return QLineF(frame.topLeft(), frame.bottomRight());
}

} // namespace ElementFaceGeometry
