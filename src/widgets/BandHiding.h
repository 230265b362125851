#pragma once

#include "model/ReportDocument.h"
#include "widgets/Dialogs.h"

#include <optional>

class DocumentStore;

// Hiding a standard band, as the band menus of the canvas and the outline offer it. A hidden
// band is left out of the saved report, and its elements with it; so a band that holds elements
// is hidden only after the user agreed.
namespace BandHiding {

// The question asked before hiding the band of `type`; none when the band holds no element.
std::optional<AlertRequest> question(const ReportDocument &document, BandType type);

// Why nothing is added to the hidden band of that label (a duplicate of what it holds, a move
// into it).
QString noElementsMessage(const QString &bandLabel);

// Hides the band, asking first when it holds elements. Without `dialogs` to ask through, such a
// band stays shown. True when the band was hidden.
bool hide(DocumentStore &store, BandType type, Dialogs *dialogs);

} // namespace BandHiding
