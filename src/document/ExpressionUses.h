#pragma once

#include "model/ReportDocument.h"
#include "model/XmlFragment.h"

#include <QString>
#include <functional>
#include <optional>

// What uses a field, parameter or variable of a dataset, the report's own or one of its
// sub-datasets: expressions and queries evaluated over that dataset that name it in any form the
// engine reads, the return values that set a variable or take its value, the values that what
// runs the dataset passes to its parameters, and the sort fields. An expression is evaluated over
// the dataset that the nearest list, table, chart, crosstab or other component around it runs
// (the parameters, connection and return values of a run over the dataset where the component
// stands), else over the report's own; what a crosstab's cells hold names the crosstab's own
// values.
namespace ExpressionUses {

// A field, parameter or variable of the report or of one of its sub-datasets.
struct Declaration {
    enum class Kind { field, parameter, variable };
    Kind kind = Kind::field;
    QString name;
    // The sub-dataset that declares it; no value for the report's own dataset.
    std::optional<QString> dataset = std::nullopt;

    // How an expression names it: "$F{Amount}", "$P{Limit}", "$V{Total}".
    QString reference() const;
};

// Whether the text names the declaration: by its reference; a parameter also as "$P!{Limit}",
// whose value the engine puts into the query's text, and among the parameters of a query's
// "$X{…}" clause ("$X{IN, City, Cities}").
bool isNamedIn(const QString &text, const Declaration &declaration);

struct Uses {
    // Expressions and queries that name it: the dataset's query, parameters' defaults,
    // variables, filter, groups and (the report's) sections' print-when conditions and
    // conditional styles, and the elements evaluated over it with what they keep as the file
    // wrote it (chart and crosstab datasets, a list's or table's dataset run and cells, what a
    // component evaluates beside the sub-dataset it runs), the bands of a group's header or
    // footer kept as written and a book's parts included.
    int expressions = 0;
    // Return values of subreports and dataset runs that set the variable, and of the runs of
    // its sub-dataset that take its value.
    int returnValues = 0;
    // Sort fields that sort on the field or variable.
    int sortFields = 0;
    // Values that the runs of its sub-dataset pass to the parameter.
    int passedValues = 0;

    int total() const { return expressions + returnValues + sortFields + passedValues; }
};

Uses uses(const ReportDocument &document, const Declaration &declaration);

// Whether one of the element's own expressions (not those of what it holds: a frame's or list's
// elements, a table's cells) holds the text, such as "$P{Limit}", read as uses() reads them:
// what the element evaluates over a sub-dataset it runs is not its own.
bool elementHolds(const ReportElement &element, const QString &text);
// The same for a report element of a band kept as written (KeptBands::elementOf): its own
// expressions are those that no report element inside it holds.
bool keptElementHolds(const XmlFragment::Element &element, const QString &text);

// An expression and the sub-dataset it is evaluated over: no value where its element stands.
using ExpressionVisit =
    std::function<void(const QString &expression, const std::optional<QString> &dataset)>;
// Each expression that a chart, crosstab or other component keeps as the file wrote it (its
// body), read as uses() reads it: what runs over the sub-dataset the component runs (a chart's
// series, a map's markers, a crosstab's groups and measures) with that sub-dataset; what a
// crosstab's cells hold, which names the crosstab's own values, is left out. With `passed`, each
// parameter a dataset run of the body passes a value to, with the sub-dataset the run runs.
using PassedVisit = std::function<void(const QString &parameter, const QString &dataset)>;
void visitBody(const ReportElement &element, const ExpressionVisit &visit,
               const PassedVisit &passed = {});

// The question before a removal: "$F{Amount} is used in 3 expressions.", "$V{Count} is used in
// 1 expression, 1 return value and 1 sort field.", "$P{City} is used in 1 expression and 1 passed
// value."
QString message(const Declaration &declaration, const Uses &uses);
// What the message says it is used in: "3 expressions", "1 expression and 1 sort field".
QString usedIn(const Uses &uses);

// The sub-dataset that lacks the field `name` although what a list or table running it holds
// names it ("$F{name}"): of several, the innermost. No value when none does, so that the
// report's own expressions name it.
std::optional<QString> datasetLackingField(const ReportDocument &document, const QString &name);

} // namespace ExpressionUses
