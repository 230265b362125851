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

// The name the sort field of that id takes when it is switched to sort on `type`: its own
// name while the report has an item of that kind so named that no other sort field of the kind
// sorts on, else the first such item's name. No value when every item of the kind is sorted on
// already, or the report has none.
std::optional<QString> nameForType(const ReportDocument &document, const QUuid &id,
                                   SortFieldType type);
// The sort field as its type picker leaves it when `type` is chosen: sorting on `type`, on the
// name nameForType() gives. No value when that kind has no name left to sort on; the sort field
// then stays as it is. A choice of the type it has changes nothing.
std::optional<ReportSortField> switchedToType(const ReportDocument &document,
                                              const ReportSortField &sortField, SortFieldType type);
// What the type picker says when no name of that kind is left to sort on.
QString nothingOfTypeToSortOn(const ReportDocument &document, SortFieldType type);

// What the words under the sort field's name say while it names no field (no variable) of the
// report, which the engine refuses: "The report declares no field "cityX": the engine refuses a
// sort field on a name it lacks." A variable's name takes the group counts and the variables the
// engine gives every report. Empty while it names one.
QString lacking(const ReportDocument &document, const ReportSortField &sortField);

} // namespace SortFieldNames
