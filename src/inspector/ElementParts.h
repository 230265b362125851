#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementCardPlan.h"
#include "inspector/InspectorPage.h"

class ElementPart;
class QWidget;

// Builds the part of the element column that the plan names, for the element the writer was
// built for; null for a part that shows nothing. Parts whose content is not built yet are their
// titled cards, empty.
ElementPart *makeElementPart(const PlannedSection &planned, const ReportElement &element,
                             const ElementWriter &writer, const InspectorContext &context,
                             QWidget *parent);
