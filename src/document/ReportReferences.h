#pragma once

#include "model/ReportDocument.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

// The places where a report names one of its groups, sub-datasets or styles as an attribute
// value, so that a rename can take them along and a removal can ask first and then leave
// nothing the engine refuses. Expressions are not looked into: they name fields, parameters and
// variables, which follow no rename.
//
// - A group is named by the report's variables (reset and increment group) and, within the
//   report's own sections, by elements (evaluation group, print when the group changes) and by
//   the datasets of charts, crosstabs and other components. Content inside lists and table
//   cells runs over a sub-dataset and names that dataset's groups, not the report's.
// - A sub-dataset is named by the dataset run of lists and tables, and of any chart, crosstab
//   or other component, also inside content kept as the file wrote it.
// - A style is named by elements and table cells (`style`), by other styles (their parent) and
//   by conditional styles, also inside kept content.
// The later bands of a group's header or footer, kept as the file wrote them (KeptBands), name
// them as the first band does: each report element in them counts as one element or component.
namespace ReportReferences {

enum class Kind { group, subDataset, style };

// Who names a group, sub-dataset or style. An element counts once however often it names it;
// of a style, so does each element inside it that names it (in a crosstab's cells, in what a
// table's cells keep as written), and the element itself when it or its cells do.
struct Uses {
    int elements = 0;
    int variables = 0;
    int components = 0;
    int styles = 0;

    int total() const { return elements + variables + components + styles; }
    bool operator==(const Uses &) const = default;
};

// With `only`, the references of those ids alone (holders).
Uses uses(const ReportDocument &document, Kind kind, const QString &name,
          const QSet<QUuid> *only = nullptr);

// Every name of that kind the report's references give, declared or not.
QSet<QString> namesIn(const ReportDocument &document, Kind kind);

// The elements alone in a report's section, where every pass over a report reaches them.
ReportDocument alone(const ElementList &elements);

// The groups that content (at any depth) names, declared or not: sorted.
QStringList groupsNamedIn(const ElementList &content);

// The groups of the dataset of that name: the report's own for an empty name or one the report
// does not declare.
QStringList groupsOfDataset(const ReportDocument &document, const QString &dataset);

// Elements about to enter the report from elsewhere (a paste, a snippet) that may name what it
// does not declare, or run in another dataset than before: what they name of styles the report
// lacks, and of groups the dataset they go to (`dataset`, empty for the report's own) lacks, is
// dropped, as when such a group or style is deleted. The names of the sub-datasets they run
// that the report lacks are answered, sorted, for the caller to declare.
QStringList adopt(const ReportDocument &document, ElementList &elements, const QString &dataset);

// What names `name`: an id for each reference, given by what holds it (an element, variable or
// style) and its place among the references of that kind the holder gives, whatever they name,
// so that it stays the same through renames. An element holds what its kind keeps (table cells,
// chart datasets, crosstab cells); a style its conditional styles.
QSet<QUuid> holders(const ReportDocument &document, Kind kind, const QString &name);

// Makes every reference to `from` name `to` instead; with `only`, the references of those ids
// alone (holders). True when anything changed.
bool rename(ReportDocument &document, Kind kind, const QString &from, const QString &to,
            const QSet<QUuid> *only = nullptr);

// What is left once the group, sub-dataset or style of that name is gone, so that the report
// still compiles and the designer shows what the engine prints. True when anything changed.
// - group: what reset, incremented or was evaluated on it does so once per report instead; a
//   print-when-the-group-changes condition is dropped.
// - sub-dataset: the components that run it (lists, tables, charts, crosstabs, others) go too.
// - style: its references are dropped, and the elements that named it take the values they
//   inherited again from the report's default style, or from the engine's defaults; the styles
//   that named it as their parent, and what uses them, inherit anew too (StyleHeirs).
//   `wasDefault` says that the style was the report's default style: then the elements that
//   name no style inherit anew too.
bool dropGroup(ReportDocument &document, const QString &name);
bool dropSubDataset(ReportDocument &document, const QString &name);
bool dropStyle(ReportDocument &document, const QString &name, bool wasDefault);

// The content of a list that goes from a dataset with the groups `before` to one with the groups
// `after`: what was evaluated on, or printed by, a group that `after` lacks is treated as when
// that group is deleted (dropGroup), but what was evaluated on it is evaluated "Now", as a new
// element is. Nested lists run their own dataset and are left as they are. True when anything
// changed.
bool keepGroupsOf(ElementList &content, const QStringList &before, const QStringList &after);

// The question before a removal: "Totals is used by 3 variables and 2 elements."
QString usageMessage(const QString &name, const Uses &uses);

} // namespace ReportReferences
