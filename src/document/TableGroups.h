#pragma once

#include "model/ReportElement.h"

#include <QStringList>

// What a table keeps of the groups it names when it runs another dataset: a table names the
// groups of the dataset it runs, in the group header and footer cells of its columns and column
// groups, in its own group rows, and in what its cells evaluate on a group.
namespace TableGroups {

// The table goes from a dataset whose groups are among `before` to one with the groups `after`:
// the group cells and rows of a group that `after` lacks go, with what they hold, and what its
// cells hold is evaluated on the new dataset's groups as a list's content is
// (ReportReferences::keepGroupsOf). Tables and lists inside cells run datasets of their own and
// are left as they are. True when anything changed.
bool keepGroupsOf(ElementKind::Table &table, const QStringList &before, const QStringList &after);

// The groups of its dataset the table names: in its group cells and rows and what they hold, and
// in what its cells evaluate on. Each once, in order of first appearance; not those of the tables
// and lists inside cells, which run datasets of their own.
QStringList groupsNamed(const ElementKind::Table &table);

} // namespace TableGroups
