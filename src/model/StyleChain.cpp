#include "StyleChain.h"

#include <algorithm>

namespace StyleChain {

const ReportStyle *named(const QList<ReportStyle> &styles, const QString &name)
{
    const auto found = std::find_if(styles.cbegin(), styles.cend(),
                                    [&](const ReportStyle &s) { return s.name == name; });
    return found == styles.cend() ? nullptr : &*found;
}

const ReportStyle *defaultStyle(const QList<ReportStyle> &styles)
{
    // Of several marked default, the engine takes the last.
    const auto found = std::find_if(styles.crbegin(), styles.crend(),
                                    [](const ReportStyle &s) { return s.isDefault; });
    return found == styles.crend() ? nullptr : &*found;
}

const ReportStyle *ofElement(const ReportElement &element, const QList<ReportStyle> &styles)
{
    return element.styleName ? named(styles, *element.styleName) : defaultStyle(styles);
}

const ReportStyle *parentOf(const ReportStyle &style, const QList<ReportStyle> &styles)
{
    if (const QString *parent = style.kept.part({}).attribute(u"style"))
        return named(styles, *parent);
    // A style marked default, whether or not the report takes it as its default, inherits
    // nothing.
    return style.isDefault ? nullptr : defaultStyle(styles);
}

} // namespace StyleChain
