#include "PDFSizeLimit.h"

#include "model/ReportDocument.h"

#include <cmath>

namespace {

bool exceeds(double points)
{
    // Infinite or not a number: no page the engine could render, so ask rather than let it pass.
    return !std::isfinite(points) || points > PDFSizeLimit::maximumPoints;
}

// The size without its fraction, or a placeholder when the whole number does not fit 64 bits.
QString wholePoints(double points)
{
    constexpr double limit = 9223372036854775808.0; // 2^63
    const double whole = std::trunc(points);
    if (!std::isfinite(whole) || whole >= limit || whole < -limit)
        return QStringLiteral("?");
    return QString::number(qint64(whole));
}

} // namespace

namespace PDFSizeLimit {

QString informativeText(double width, double height)
{
    const QString limit = QString::number(qint64(maximumPoints));
    return u"This report's page size (" + wholePoints(width) + u"×" + wholePoints(height) +
           u"pt) exceeds the PDF engine's maximum of " + limit + u"×" + limit +
           u"pt. Content beyond that will be silently cut off in the exported PDF.";
}

bool confirmIfExceeded(const ReportDocument &document, const Ask &ask)
{
    if (!exceeds(document.pageWidth) && !exceeds(document.pageHeight))
        return true;
    const int chosen = ask(QStringLiteral("Page Size Exceeds PDF Limit"),
                           informativeText(document.pageWidth, document.pageHeight),
                           {QStringLiteral("Continue Anyway"), QStringLiteral("Cancel")});
    return chosen == 0;
}

} // namespace PDFSizeLimit
