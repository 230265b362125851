#include "canvas/CanvasGeometry.h"

#include <algorithm>
#include <cmath>

namespace canvas {

QList<BandTarget> orderedTargets(const ReportDocument &document)
{
    QList<BandTarget> targets;
    for (BandType type : bandDisplayOrder()) {
        if (type == BandType::detail) {
            for (const ReportGroup &group : document.groups)
                targets.append(BandTarget::groupHeader(group.id));
            for (const ReportBand &band : document.detailBands)
                targets.append(BandTarget::detailBand(band.id));
            for (auto it = document.groups.crbegin(); it != document.groups.crend(); ++it)
                targets.append(BandTarget::groupFooter(it->id));
            continue;
        }
        const auto found = std::find_if(document.bands.cbegin(), document.bands.cend(),
                                        [type](const ReportBand &b) { return b.type == type; });
        if (found != document.bands.cend() && !found->isPresent)
            continue;
        targets.append(BandTarget::standard(type));
    }
    return targets;
}

double drawnBodyHeight(double storedHeight)
{
    return std::max(storedHeight, minimumBodyHeight);
}

PageGeometry pageGeometry(const ReportDocument &document, const QList<double> &bandHeights)
{
    PageGeometry page;
    for (double height : bandHeights)
        page.contentHeight += drawnBodyHeight(height) + headerStripHeight;
    // A report may hold a page, column or margins of 0 or less: nothing is drawn with a
    // negative size.
    const double column = std::max(document.columnWidth, 0.0);
    page.pageWidth =
        std::max({document.pageWidth, document.leftMargin + column + document.rightMargin, 0.0});
    page.pageHeight =
        std::max({document.pageHeight,
                  document.topMargin + page.contentHeight + document.bottomMargin, 0.0});
    page.printableHeight =
        std::max(page.pageHeight - document.topMargin - document.bottomMargin, 0.0);
    page.marginRect = QRectF(document.leftMargin, document.topMargin, column, page.printableHeight);
    return page;
}

QRectF scrolledArea(QSizeF pageSize, double padding)
{
    const double most = farthestScrolled + padding;
    return QRectF(-padding, -padding, std::min(pageSize.width() + 2 * padding, most),
                  std::min(pageSize.height() + 2 * padding, most));
}

bool exceedsDrawn(const QRectF &rect)
{
    return rect.width() > farthestDrawn || rect.height() > farthestDrawn;
}

QRectF drawnPart(const QRectF &rect, QPointF origin)
{
    const double left = std::max(rect.left(), -farthestDrawn - origin.x());
    const double right = std::min(rect.right(), farthestDrawn - origin.x());
    const double top = std::max(rect.top(), -farthestDrawn - origin.y());
    const double bottom = std::min(rect.bottom(), farthestDrawn - origin.y());
    if (left == rect.left() && right == rect.right() && top == rect.top() &&
        bottom == rect.bottom())
        return rect;
    if (left > right || top > bottom)
        return QRectF();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QString zoomPercentText(std::optional<double> pinchStartLevel, double zoomLevel,
                        double pinchMagnification)
{
    const double live = pinchStartLevel.value_or(zoomLevel) * pinchMagnification;
    const double percent = live <= minimumZoom ? 25 : std::min(live, maximumZoom) * 100;
    // A hair above the value, so that 0.57 x 100 = 56.99999… still reads 57.
    return QString::number(static_cast<qint64>(std::trunc(percent + 1e-9))) + QLatin1Char('%');
}

double pinchEndZoom(double magnification, std::optional<double> pinchStartLevel, double zoomLevel)
{
    double z = magnification * pinchStartLevel.value_or(zoomLevel);
    if (z <= minimumZoom)
        z = minimumZoom;
    if (z > maximumZoom)
        z = maximumZoom;
    return z;
}

} // namespace canvas
