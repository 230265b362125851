#pragma once

#include "edits/InspectorEdits.h"

#include <QString>

// What the inspector's pickers write when the user chooses, apart from their widgets: each
// through the writer of the card, as one undo step of the element.
namespace CardChoices {

// The Evaluation Time picker's choice for the writer's element: nothing when the picker does not
// offer the time for the element's kind or its dataset has no group for "Group"; "Group" also
// stores the first group of the element's dataset when the element names none of them, as the
// engine needs one. True when the element changed.
bool chooseEvaluationTime(const ElementWriter &writer, const QString &time);
// The group row's choice: stores the group when it differs from the element's.
bool chooseEvaluationGroup(const ElementWriter &writer, const QString &group);

// The list card's dataset picker: the list runs the sub-dataset of that name, and what it holds
// is evaluated on that dataset's groups (ReportReferences::keepGroupsOf) and passes it only the
// parameters it takes (PassedParameters::keepDeclaredBy). True when it changed.
bool chooseListDataset(const ElementWriter &writer, const QString &name);
// The table card's dataset field, once committed: the table runs the sub-dataset of that name,
// passes it only the parameters it takes, and keeps only the group cells and evaluation groups
// that dataset has (TableGroups::keepGroupsOf). True when it changed.
bool chooseTableDataset(const ElementWriter &writer, const QString &name);

} // namespace CardChoices
