#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QSet>
#include <QString>

// The lists and tables that run a sub-dataset, named in their dataset run. Of two sub-datasets
// sharing a name the engine runs the first; the parameters a run passes may be those of either.
namespace DatasetRuns {

// The names the engine gives every expression without a declaration.
const QSet<QString> &builtInNames();

// Whether every dataset has the parameter of that name without declaring it: the engine's own.
bool isEngineGiven(const QString &name);

// The parameters the lists, tables, charts, crosstabs and other components among `elements` (at
// any depth, table cells included) that run the sub-dataset `dataset` pass to it, but the
// engine's own: each name once, in order.
QStringList passedTo(const ElementList &elements, const QString &dataset);

// The groups the lists and tables among `elements` (at any depth, table cells included) that run
// the sub-dataset `dataset` name of it: in their content, in a table's group cells and rows. Each
// once, in order.
QStringList groupsNamedBy(const ElementList &elements, const QString &dataset);

// Elements about to enter the report from elsewhere (a paste, a snippet): what their lists and
// tables (at any depth, table cells included) name of groups that the sub-dataset they run lacks
// goes, as when they are switched to it (ReportReferences::keepGroupsOf,
// TableGroups::keepGroupsOf). A run of a sub-dataset the report does not declare, or of a name
// two sub-datasets share, is left as it is. True when anything changed.
bool keepGroupsOfRuns(ElementList &elements, const ReportDocument &document);

// For a list or table that runs the sub-dataset `dataset`: removes the rows naming a parameter
// that dataset does not declare and the engine does not give every dataset, as the engine refuses
// them. Rows not named yet stay, and all stay when the report has no sub-dataset of that name.
// True when rows were removed.
bool keepDeclaredBy(QList<SubreportParameter> &rows, const ReportDocument &document,
                    const QString &dataset);

// The report's sub-datasets changed since `before` (a rename, a removal): each list and table
// whose name now stands for another sub-dataset, or for sub-datasets that declare other
// parameters, is treated as one switched to it (keepDeclaredBy; the groups as
// ReportReferences::keepGroupsOf and TableGroups::keepGroupsOf keep them). A run of a name the
// report no longer declares, or of one two sub-datasets now share, is left as it is. True when
// anything changed.
bool follow(ReportDocument &document, const ReportDocument &before);

} // namespace DatasetRuns
