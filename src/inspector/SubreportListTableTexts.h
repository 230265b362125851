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
// Which of its two sources a list's or table's dataset run takes its rows from (the engine takes
// one): its data source expression, or its dataset's query on the connection; empty for neither.
QString runSourceNote(bool isList, bool hasDataSource, bool hasConnection);
// The question before a connection replaces the run's data source expression.
QString replaceDataSourceQuestion(bool isList);
QString replaceDataSourceDetail(const QString &dataSourceExpression);
// The note under a list's cards, from the number of elements in its row template.
QString listNote(qsizetype childCount);

// Table.
QString whenNoDataLabel(WhenNoDataType type);
QString whenNoDataNote();

} // namespace SubreportListTableTexts
