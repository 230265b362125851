#pragma once

#include <QList>
#include <QString>
#include <optional>

// The paper sizes offered for a new report, in the order the wizard lists them. Each landscape
// case follows its portrait case with the two dimensions swapped; `custom` has no size of its
// own.
enum class PageFormatPreset {
    a4Portrait,
    a4Landscape,
    letterPortrait,
    letterLandscape,
    legalPortrait,
    legalLandscape,
    a3Portrait,
    a3Landscape,
    a5Portrait,
    a5Landscape,
    tabloidPortrait,
    tabloidLandscape,
    custom,
};

// A page width and height in points.
struct PageSize {
    double width = 0;
    double height = 0;
    bool operator==(const PageSize &) const = default;
};

namespace PageFormatPresets {

// Every preset, in declaration order.
const QList<PageFormatPreset> &all();
// The text shown on the preset's card ("A4", "Tabloid (11×17)", "Custom"…).
QString displayText(PageFormatPreset preset);
// The preset whose display text is exactly `text`.
std::optional<PageFormatPreset> fromText(const QString &text);
// The preset's page size; no value for `custom`.
std::optional<PageSize> size(PageFormatPreset preset);
// The first preset whose size is exactly the given one (no tolerance), else `custom`.
PageFormatPreset matching(double width, double height);

} // namespace PageFormatPresets
