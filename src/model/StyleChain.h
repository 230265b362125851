#pragma once

#include "ReportDocument.h"

// How a report's styles inherit from one another as the engine fills: an element takes the style
// it names, else the report's default style (the last marked as default); a style takes the
// style it names as its parent, else the report's default style; a style marked default inherits
// nothing.
namespace StyleChain {

// Chains that do not run in a circle end within this many styles.
inline constexpr int deepest = 32;

const ReportStyle *named(const QList<ReportStyle> &styles, const QString &name);
const ReportStyle *defaultStyle(const QList<ReportStyle> &styles);
// The style the element takes the values it does not set from.
const ReportStyle *ofElement(const ReportElement &element, const QList<ReportStyle> &styles);
// The style `style` takes the values it does not set from, or none.
const ReportStyle *parentOf(const ReportStyle &style, const QList<ReportStyle> &styles);

} // namespace StyleChain
