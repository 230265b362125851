#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Guesses a report's field names from the text of its SQL query, without a database: it reads the
// select list of the first SELECT at the query's outermost level (the one that names a UNION's
// columns; a WITH's queries and sub-selects lie in brackets), splits it at the commas outside
// brackets and names each column as PostgreSQL does (see SqlColumnName). Comments, string
// literals and quoted identifiers are read as such, so nothing inside them counts. Columns it
// cannot name, and a few recognisable mistakes, are explained in one note. It has no state and
// cannot fail.
namespace SQLFieldGuesser {

struct Result {
    // In column order; duplicates kept.
    QStringList fieldNames;
    // For the user, when there is something to say.
    std::optional<QString> note;
    // The columns that could not be named, as written (a lone "*" included); while there are
    // any, the names do not tell which declared fields the query no longer yields.
    QStringList unnamedColumns;
    bool operator==(const Result &) const = default;
};

Result guessFieldNames(const QString &query);

} // namespace SQLFieldGuesser
