#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QStringList>

// The parameter rows a subreport passes to its report, and a list to its sub-dataset: a name
// and an expression each, edited by row id. Nothing is validated: empty and repeated names are
// kept as typed.
namespace PassedParameters {

// The rows of a subreport or list; null for every other kind.
QList<SubreportParameter> *of(ElementKind &kind);
const QList<SubreportParameter> *of(const ElementKind &kind);

// The name a new row gets: "param" and the number of rows plus one ("param1" for none). It is
// not checked against the names already there.
QString nextName(const QList<SubreportParameter> &rows);
// Appends a row with a new id, the next name and an empty expression.
void add(QList<SubreportParameter> &rows);

// Change, or remove, the row with that id; false when no row has it any longer.
bool setName(QList<SubreportParameter> &rows, const QUuid &id, const QString &name);
bool setExpression(QList<SubreportParameter> &rows, const QUuid &id, const QString &expression);
bool remove(QList<SubreportParameter> &rows, const QUuid &id);

// The names of the report's declared parameters that no row has, in declaration order (exact,
// case-sensitive comparison).
QStringList missingReportParameters(const QList<SubreportParameter> &rows,
                                    const QList<ReportParameter> &reportParameters);
// Appends one row for each of them, passing the report's parameter through under its own
// name ("$P{name}"); false when every declared name is listed already.
bool passAll(QList<SubreportParameter> &rows, const QList<ReportParameter> &reportParameters);

// For a list or table switched to the sub-dataset `dataset`: removes the rows naming a parameter
// that dataset does not declare and the engine does not give every dataset, as the engine refuses
// them. Rows not named yet stay, and all stay when the report has no sub-dataset of that name.
// True when rows were removed.
bool keepDeclaredBy(QList<SubreportParameter> &rows, const ReportDocument &document,
                    const QString &dataset);

} // namespace PassedParameters
