#include "ElementFill.h"

#include "StyleChain.h"

using namespace Qt::StringLiterals;

namespace ElementFill {

namespace {

const QString modeName = u"mode"_s;
const QString opaque = u"Opaque"_s;
const QString transparent = u"Transparent"_s;

// The mode the writer gives a part (a position line or a style) that holds this back colour: the
// kept one, else "Opaque" beside a colour unless the file's colour stands without a mode.
std::optional<bool> writtenMode(const KeptXml &kept, const std::optional<ElementColor> &backColor)
{
    if (const QString *mode = kept.attribute(modeName))
        return *mode == opaque;
    if (!backColor)
        return std::nullopt;
    for (const KeptXml::AbsentAttribute &absent : kept.absent) {
        if (absent.name != modeName)
            continue;
        for (const KeptXml::Attribute &with : absent.with) {
            if (with.name == u"backcolor"_s && with.value == backColor->hex)
                return std::nullopt;
        }
    }
    return true;
}

// The mode a style gives, from itself or its parents.
std::optional<bool> styleMode(const ReportStyle *style, const QList<ReportStyle> &styles)
{
    // A chain of parents that runs in a circle ends somewhere.
    for (int depth = 0; style && depth < StyleChain::deepest; ++depth) {
        if (const std::optional<bool> mode = writtenMode(style->kept.part({}), style->backColor))
            return mode;
        style = StyleChain::parentOf(*style, styles);
    }
    return std::nullopt;
}

} // namespace

bool isOpaque(const ReportElement &element, const QList<ReportStyle> &styles)
{
    if (const std::optional<bool> own =
            writtenMode(element.kept.part(u"reportElement"), element.backColor))
        return *own;
    if (const std::optional<bool> inherited =
            styleMode(StyleChain::ofElement(element, styles), styles))
        return *inherited;
    const ElementKind &kind = element.kind;
    return kind.is<ElementKind::Rectangle>() || kind.is<ElementKind::Ellipse>() ||
           kind.is<ElementKind::Line>();
}

std::optional<ElementColor> printedFill(const ReportElement &element,
                                        const QList<ReportStyle> &styles)
{
    if (!isOpaque(element, styles))
        return std::nullopt;
    return element.backColor.value_or(ElementColor{u"#FFFFFF"_s});
}

std::optional<ElementColor> unprintedFill(const ReportElement &element,
                                          const QList<ReportStyle> &styles)
{
    if (isOpaque(element, styles))
        return std::nullopt;
    if (element.backColor)
        return element.backColor;
    if (const QString *kept = element.kept.part(u"reportElement").attribute(u"backcolor"_s))
        return ElementColor{*kept};
    // The colour the element's style, or the first style up its chain that sets one, gives.
    const ReportStyle *style = StyleChain::ofElement(element, styles);
    for (int depth = 0; style && depth < StyleChain::deepest; ++depth) {
        if (style->backColor)
            return style->backColor;
        style = StyleChain::parentOf(*style, styles);
    }
    return std::nullopt;
}

void setFill(ReportElement &element, const std::optional<ElementColor> &color)
{
    element.backColor = color;
    KeptXml kept = element.kept.part(u"reportElement");
    kept.absent.removeIf([](const KeptXml::AbsentAttribute &a) { return a.name == modeName; });
    kept.removeAttribute(modeName);
    kept.attributes.append({modeName, color ? opaque : transparent});
    element.kept.setPart(u"reportElement"_s, std::move(kept));
}

} // namespace ElementFill
