#include "setup/PageFormatPreset.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct PresetRow {
    PageFormatPreset preset;
    const char16_t *text;
    double width;
    double height;
    bool hasSize;
};

// In declaration order.
constexpr std::array<PresetRow, 13> rows{{
    {PageFormatPreset::a4Portrait, u"A4", 595, 842, true},
    {PageFormatPreset::a4Landscape, u"A4 Landscape", 842, 595, true},
    {PageFormatPreset::letterPortrait, u"Letter", 612, 792, true},
    {PageFormatPreset::letterLandscape, u"Letter Landscape", 792, 612, true},
    {PageFormatPreset::legalPortrait, u"Legal", 612, 1008, true},
    {PageFormatPreset::legalLandscape, u"Legal Landscape", 1008, 612, true},
    {PageFormatPreset::a3Portrait, u"A3", 842, 1191, true},
    {PageFormatPreset::a3Landscape, u"A3 Landscape", 1191, 842, true},
    {PageFormatPreset::a5Portrait, u"A5", 420, 595, true},
    {PageFormatPreset::a5Landscape, u"A5 Landscape", 595, 420, true},
    {PageFormatPreset::tabloidPortrait, u"Tabloid (11\u00D717)", 792, 1224, true},
    {PageFormatPreset::tabloidLandscape, u"Tabloid Landscape", 1224, 792, true},
    {PageFormatPreset::custom, u"Custom", 0, 0, false},
}};

const PresetRow &row(PageFormatPreset preset)
{
    return rows.at(std::size_t(preset));
}

} // namespace

namespace PageFormatPresets {

const QList<PageFormatPreset> &all()
{
    static const QList<PageFormatPreset> presets = [] {
        QList<PageFormatPreset> list;
        for (const PresetRow &r : rows)
            list.append(r.preset);
        return list;
    }();
    return presets;
}

QString displayText(PageFormatPreset preset)
{
    return QString::fromUtf16(row(preset).text);
}

std::optional<PageFormatPreset> fromText(const QString &text)
{
    for (const PresetRow &r : rows)
        if (text == QString::fromUtf16(r.text))
            return r.preset;
    return std::nullopt;
}

std::optional<PageSize> size(PageFormatPreset preset)
{
    const PresetRow &r = row(preset);
    if (!r.hasSize)
        return std::nullopt;
    return PageSize{r.width, r.height};
}

PageFormatPreset matching(double width, double height)
{
    for (const PresetRow &r : rows)
        if (r.hasSize && r.width == width && r.height == height)
            return r.preset;
    return PageFormatPreset::custom;
}

} // namespace PageFormatPresets
