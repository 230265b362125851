#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

struct ReportDocument;

// Checks of report expressions, in which $F{name}, $P{name} (or $P!{name}) and $V{name} refer to
// the report's fields, parameters and variables.
namespace expressions {

// The names every report has without declaring them, accepted after any of the three letters.
const QSet<QString> &builtInNames();

// Advice about an expression, in the order found: mismatched brackets in text order, then an
// unclosed string literal, then the innermost unclosed bracket, then references to names the
// report does not declare (a group's "<name>_COUNT" variable counts as declared). Empty when
// nothing is wrong. Blocks nothing.
QStringList validateExpression(const QString &expression, const ReportDocument &document);

// The names referenced after "$" + prefix + "{" ("F" or "P"), trimmed of spaces and tabs, each
// once, in order of first appearance; the $P!{...} form does not count.
QStringList referencedTokens(const QString &expression, const QString &prefix);

} // namespace expressions
