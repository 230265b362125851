#include "canvas/FormatToolbarValues.h"

#include "document/DocumentStore.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

FormatToolbarValues FormatToolbarValues::of(const DocumentStore &store)
{
    FormatToolbarValues values;
    for (const QUuid &id : store.selectedElementIDs()) {
        const std::optional<ReportElement> element = store.element(id);
        if (!element || !element->kind.isTextKind())
            continue;
        values.hasTextElement = true;
        values.fontName = element->fontName;
        values.fontSize = element->fontSize;
        values.isBold = element->isBold;
        values.isItalic = element->isItalic;
        values.isUnderline = element->isUnderline;
        values.textAlignment = element->textAlignment;
        values.verticalAlignment = element->verticalAlignment;
        break;
    }
    return values;
}

QStringList FormatToolbarValues::fontOptions() const
{
    QStringList names{u"Arial"_s,   u"Calibri"_s,     u"Times New Roman"_s, u"Helvetica"_s,
                      u"Verdana"_s, u"DejaVu Sans"_s, u"Courier New"_s,     u"SansSerif"_s};
    if (!names.contains(fontName))
        names.append(fontName);
    return names;
}

QString FormatToolbarValues::sizeLabel(double size)
{
    // 2^63 is exactly representable; anything at or beyond it has no 64-bit whole part.
    constexpr double limit = 9223372036854775808.0;
    const double whole = std::trunc(size);
    if (!std::isfinite(whole) || whole >= limit || whole < -limit)
        return u"–"_s;
    if (whole == size)
        return QString::number(qint64(whole));
    // A fractional size (11.5) shows its fraction, to two places at most.
    QString text = QString::number(size, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

std::optional<double> FormatToolbarValues::steppedSize(double size, int step)
{
    const double from = std::isfinite(size) ? size : 10;
    const double next = std::clamp(from + step, minimumSize, maximumSize);
    if (next == size)
        return std::nullopt;
    return next;
}
