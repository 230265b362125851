#include "canvas/FormatToolbarValues.h"

#include "document/DocumentStore.h"
#include "widgets/StyleEditorTexts.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

FormatToolbarValues FormatToolbarValues::of(const DocumentStore &store)
{
    FormatToolbarValues values;
    // The first text element in the selection's order, found in one walk over the report
    // however large the selection: each selected id's place in that order, then the text
    // element with the earliest place.
    const QSet<QUuid> &selected = store.selectedElementIDs();
    if (selected.isEmpty())
        return values;
    QHash<QUuid, qsizetype> place;
    place.reserve(selected.size());
    for (const QUuid &id : selected)
        place.insert(id, place.size());
    qsizetype earliest = selected.size();
    std::optional<ReportElement> reference;
    store.forEveryElementInDocument([&](const ReportElement &element) {
        const auto found = place.constFind(element.id);
        if (found == place.cend() || *found >= earliest || !element.kind.isTextKind())
            return;
        earliest = *found;
        reference = element;
    });
    if (!reference)
        return values;
    values.hasTextElement = true;
    values.fontName = reference->fontName;
    values.fontSize = reference->fontSize;
    values.isBold = reference->isBold;
    values.isItalic = reference->isItalic;
    values.isUnderline = reference->isUnderline;
    values.textAlignment = reference->textAlignment;
    values.verticalAlignment = reference->verticalAlignment;
    return values;
}

QStringList FormatToolbarValues::fontOptions() const
{
    return StyleEditorTexts::fontOptions(fontName);
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
