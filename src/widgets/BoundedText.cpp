#include "widgets/BoundedText.h"

#include <algorithm>
#include <cmath>

namespace {

qsizetype capacity(double averageCharWidth, double width)
{
    // No glyph of a text font is narrower than a quarter of its average character.
    const double narrowest = std::max(averageCharWidth / 4, 0.25);
    return qsizetype(std::min(std::ceil(std::max(width, 0.0) / narrowest) + 1, 1e8));
}

} // namespace

qsizetype BoundedText::rowCapacity(const QFont &font, double width)
{
    return capacity(QFontMetricsF(font).averageCharWidth(), width);
}

QString BoundedText::elided(const QFontMetrics &metrics, const QString &text, int width)
{
    // A prefix one character longer than a row holds overflows the row as the whole text does,
    // and is cut at the same place.
    const qsizetype room = capacity(metrics.averageCharWidth(), width) + 1;
    if (text.size() <= room)
        return metrics.elidedText(text, Qt::ElideRight, width);
    return metrics.elidedText(text.first(room), Qt::ElideRight, width);
}
