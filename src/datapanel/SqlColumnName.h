#pragma once

#include "datapanel/SqlTokens.h"

#include <QString>
#include <variant>

// The name a database gives one column of a select list, worked out from its tokens as
// PostgreSQL names result columns: the alias (with or without AS); else a column reference's last
// name part; a function call's name; a cast's operand, or its type when the operand has no name;
// "case", "array", "row", "exists", and a scalar sub-select's first column. An operator expression
// or a constant has no name. Unquoted names are folded to lower case as PostgreSQL folds them, so
// the names are those a live read of the same query finds.
namespace SqlColumnName {

struct Named {
    QString name;
};
// An alias after AS of several words without quotes or brackets: not valid SQL.
struct UnquotedAliasWithSpace {
    QString name;
};
struct Unnamed {};
using Outcome = std::variant<Named, UnquotedAliasWithSpace, Unnamed>;

using Tokens = QList<SqlToken>;
// A range of tokens [begin, end).
struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype size() const { return end - begin; }
};

Outcome of(const Tokens &tokens, Span column);

// The index of the token that closes the bracket opening at `open`, or `end` when none does.
qsizetype closing(const Tokens &tokens, qsizetype open, qsizetype end);

// Where the select list of the first SELECT at the outermost level of `span` lies, after ALL,
// DISTINCT [ON (...)] and TOP n [PERCENT] [WITH TIES]; `endedByFrom` tells whether FROM ended it.
struct SelectList {
    Span span;
    bool endedByFrom = false;
};
std::optional<SelectList> selectList(const Tokens &tokens, Span span);

// The columns of a select list: its pieces between commas outside parentheses.
QList<Span> columns(const Tokens &tokens, Span list);

} // namespace SqlColumnName
