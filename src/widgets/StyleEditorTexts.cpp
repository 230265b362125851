#include "widgets/StyleEditorTexts.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace StyleEditorTexts {

const QStringList &fontNames()
{
    static const QStringList names{u"Arial"_s,       u"Calibri"_s,  u"Times New Roman"_s,
                                   u"Helvetica"_s,   u"Verdana"_s,  u"DejaVu Sans"_s,
                                   u"Courier New"_s, u"SansSerif"_s};
    return names;
}

QStringList fontOptions(const QString &current)
{
    QStringList options = fontNames();
    if (!options.contains(current))
        options.append(current);
    return options;
}

QString shownSize(double size, const QLocale &locale)
{
    return locale.toString(size, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> parsedSize(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double size = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(size))
        return std::nullopt;
    return size;
}

std::optional<bool> nextToggleState(const std::optional<bool> &state)
{
    if (!state)
        return true;
    if (*state)
        return false;
    return std::nullopt;
}

QString usageLine(int count)
{
    if (count == 1)
        return u"1 element uses this style"_s;
    return QString::number(count) + u" elements use this style"_s;
}

} // namespace StyleEditorTexts
