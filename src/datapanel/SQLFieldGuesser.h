#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Guesses a report's field names from the text of its SQL query, without a database: it takes
// the column list of the last top-level SELECT, splits it at top-level commas and names each
// column by its alias or its last name part. Columns it cannot name, and a few recognisable
// mistakes, are explained in one note. It knows parentheses and "--" comments, not string
// literals or quoted identifiers, and never looks past FROM. It has no state and cannot fail.
namespace SQLFieldGuesser {

struct Result {
    // In column order; duplicates kept.
    QStringList fieldNames;
    // For the user, when there is something to say.
    std::optional<QString> note;
    bool operator==(const Result &) const = default;
};

Result guessFieldNames(const QString &query);

} // namespace SQLFieldGuesser
