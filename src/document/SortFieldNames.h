#pragma once

#include "model/ReportDocument.h"

#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>

// The report's sort fields name a field or a variable of the report's own dataset by its name, as
// an attribute: a rename takes them along, a removal counts them in its question.
namespace SortFieldNames {

// How many sort fields of that type name `name`.
int count(const ReportDocument &document, SortFieldType type, const QString &name);

// The ids of the sort fields of that type that name `name`.
QSet<QUuid> holders(const ReportDocument &document, SortFieldType type, const QString &name);

// Makes the sort fields of that type that name `from` name `to`; with `only`, those of these ids
// alone. True when any changed.
bool rename(ReportDocument &document, SortFieldType type, const QString &from, const QString &to,
            const QSet<QUuid> *only = nullptr);

// A new sort field: on the first field not sorted on yet, else on the first such variable. No
// value when every field and variable is sorted on already.
std::optional<ReportSortField> next(const ReportDocument &document);

// What the add button says when there is nothing left to sort on.
QString nothingToSortOn(const ReportDocument &document);

} // namespace SortFieldNames
