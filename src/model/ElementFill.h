#pragma once

#include "ReportDocument.h"

// An element's background as the engine prints it. The engine fills the background only in the
// opaque mode: the element's own mode, else its style's (and that style's parents'), else the
// kind's own (rectangles, ellipses and lines are opaque; texts, images, frames and the rest are
// transparent). An opaque element without a back colour prints white.
//
// The mode is the `mode` attribute of the element's position line, which the model keeps as the
// file wrote it; where the file gave none, the writer writes "Opaque" beside a back colour the
// user set. Choosing a fill sets the mode that prints it.
namespace ElementFill {

// Whether the engine fills the element's background.
bool isOpaque(const ReportElement &element, const QList<ReportStyle> &styles);
// The colour the background prints in, or none where it is not filled.
std::optional<ElementColor> printedFill(const ReportElement &element,
                                        const QList<ReportStyle> &styles);
// The back colour the element carries that does not print, because it is transparent: its own,
// the one its file gives it, else its style's. None where it prints its fill or has no colour.
std::optional<ElementColor> unprintedFill(const ReportElement &element,
                                          const QList<ReportStyle> &styles);
// Sets the back colour and the mode that goes with it: a colour is opaque, so that it prints; no
// colour is transparent, so that nothing prints in its place.
void setFill(ReportElement &element, const std::optional<ElementColor> &color);

} // namespace ElementFill
