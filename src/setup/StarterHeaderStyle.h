#pragma once

#include "model/ReportElement.h"

#include <QList>
#include <QString>
#include <optional>

// The coloured title headers a new report can start with, in the order the wizard lists them.
// `none` ("Blank") makes no header.
enum class StarterHeaderStyle {
    none,
    corporateBlue,
    slateGray,
    forestGreen,
    crimson,
};

namespace StarterHeaderStyles {

// Every header style, in declaration order.
const QList<StarterHeaderStyle> &all();
// "Blank", "Corporate Blue", "Slate", "Forest", "Crimson".
QString displayText(StarterHeaderStyle style);
// The style whose display text is exactly `text`.
std::optional<StarterHeaderStyle> fromText(const QString &text);
// The fill of the header bar, the same colour as the wizard's swatch; no value for `none`.
std::optional<ElementColor> headerColor(StarterHeaderStyle style);

} // namespace StarterHeaderStyles
