#pragma once

#include "model/RawEnum.h"
#include "model/ReportElement.h"

#include <QString>
#include <optional>

// How a subreport gets its data. Never stored: the kind shown is worked out from the
// subreport's two expressions each time, and choosing a kind rewrites both expressions.
enum class SubreportConnectionKind {
    sameConnection,
    emptyDataSource,
    customConnection,
    customDataSource,
};
QUILLMARK_ENUM_TEXTS(SubreportConnectionKind,
                     {SubreportConnectionKind::sameConnection, "Same Connection"},
                     {SubreportConnectionKind::emptyDataSource, "Empty Datasource"},
                     {SubreportConnectionKind::customConnection, "Custom Connection Expression"},
                     {SubreportConnectionKind::customDataSource, "Custom Datasource Expression"});

namespace SubreportDataSource {

// The connection expression of "Same Connection".
QString sameConnectionExpression();
// The data-source expression of "Empty Datasource".
QString emptyDataSourceExpression();

// The kind a subreport with these expressions shows. The data source is looked at first, so a
// subreport holding both shows the kind of its data source; an empty text counts as absent.
SubreportConnectionKind inferKind(const std::optional<QString> &connectionExpression,
                                  const std::optional<QString> &dataSourceExpression);

// Rewrites both expressions for the chosen kind; at most one of them is left.
void choose(ElementKind::Subreport &subreport, SubreportConnectionKind kind);

// The typed connection expression, kept as typed (empty text included); the data source goes.
void setConnectionExpression(ElementKind::Subreport &subreport, const QString &text);
// The typed data-source expression, kept as typed; the connection goes.
void setDataSourceExpression(ElementKind::Subreport &subreport, const QString &text);

// Whether the "connection expression" field shows: the expression exists and is not exactly
// the same-connection text (an empty one shows the field).
bool showsConnectionField(const std::optional<QString> &connectionExpression);
// Whether the "data source expression" field shows: the expression exists and does not name
// the empty data source anywhere (an empty one shows the field).
bool showsDataSourceField(const std::optional<QString> &dataSourceExpression);

} // namespace SubreportDataSource
