#pragma once

#include "edits/InspectorEdits.h"
#include "inspector/ElementCardPlan.h"
#include "inspector/InspectorPage.h"

class ElementPart;
class QWidget;

// Builds a part of a subreport's, list's or table's own cards; null for a section of any other
// kind.
ElementPart *makeComponentPart(const PlannedSection &planned, const ElementWriter &writer,
                               const InspectorContext &context, QWidget *parent);
