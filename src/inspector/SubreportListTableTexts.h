#pragma once

#include "model/ReportEnums.h"

#include <QString>

// The texts of the subreport, list and table inspectors.
namespace SubreportListTableTexts {

// Subreport.
QString subreportFilePlaceholder();
QString subreportFileNote();
QString passAllHelp();

// List and table.
QString datasetNote();
QString connectionPlaceholder();
// The note under a list's cards, from the number of elements in its row template.
QString listNote(qsizetype childCount);

// Table.
QString whenNoDataLabel(WhenNoDataType type);
QString whenNoDataNote();

} // namespace SubreportListTableTexts
