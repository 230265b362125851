#pragma once

#include "model/ReportDocument.h"

#include <QString>

// The report's sort fields name a field or a variable of the report's own dataset by its name, as
// an attribute: a rename takes them along, a removal counts them in its question.
namespace SortFieldNames {

// How many sort fields of that type name `name`.
int count(const ReportDocument &document, SortFieldType type, const QString &name);

// Makes the sort fields of that type that name `from` name `to`. True when any changed.
bool rename(ReportDocument &document, SortFieldType type, const QString &from, const QString &to);

} // namespace SortFieldNames
