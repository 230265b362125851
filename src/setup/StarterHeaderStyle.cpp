#include "setup/StarterHeaderStyle.h"

#include <array>

namespace {

struct HeaderRow {
    StarterHeaderStyle style;
    const char16_t *text;
    const char16_t *color; // null: no header
};

// In declaration order.
constexpr std::array<HeaderRow, 5> rows{{
    {StarterHeaderStyle::none, u"Blank", nullptr},
    {StarterHeaderStyle::corporateBlue, u"Corporate Blue", u"#1F4E8C"},
    {StarterHeaderStyle::slateGray, u"Slate", u"#3C4650"},
    {StarterHeaderStyle::forestGreen, u"Forest", u"#2E5D3A"},
    {StarterHeaderStyle::crimson, u"Crimson", u"#7A2331"},
}};

const HeaderRow &row(StarterHeaderStyle style)
{
    return rows.at(std::size_t(style));
}

} // namespace

namespace StarterHeaderStyles {

const QList<StarterHeaderStyle> &all()
{
    static const QList<StarterHeaderStyle> styles = [] {
        QList<StarterHeaderStyle> list;
        for (const HeaderRow &r : rows)
            list.append(r.style);
        return list;
    }();
    return styles;
}

QString displayText(StarterHeaderStyle style)
{
    return QString::fromUtf16(row(style).text);
}

std::optional<StarterHeaderStyle> fromText(const QString &text)
{
    for (const HeaderRow &r : rows)
        if (text == QString::fromUtf16(r.text))
            return r.style;
    return std::nullopt;
}

std::optional<ElementColor> headerColor(StarterHeaderStyle style)
{
    const HeaderRow &r = row(style);
    if (!r.color)
        return std::nullopt;
    return ElementColor{QString::fromUtf16(r.color)};
}

} // namespace StarterHeaderStyles
