#pragma once

#include <QString>
#include <optional>

// Naming of report and subreport files, shared by the document store, the engine bridge and the
// file commands.

// The lower-cased base name of the report file that a subreport expression names: the last
// double-quoted literal of the expression, reduced to its last path component (after the last
// slash) without its extension. No value when the expression has no double-quoted literal or
// the literal ends in a slash.
std::optional<QString> candidateSubreportBaseName(const QString &expression);

// The same base name spelled as the expression spells it, for naming a file to be created: on a
// case-sensitive file system the compiled subreport must match the expression's spelling.
std::optional<QString> subreportBaseName(const QString &expression);

// A file name without its extension: the text before the last dot, unless that dot starts the
// name (".jrxml" has no extension).
QString withoutPathExtension(const QString &fileName);

// A report's name made into one file name component, for the engine's work files and the names
// proposed in save panels: every slash, backslash and NUL becomes "_", a name longer than 200
// bytes in UTF-8 is cut there (so that an extension and a temporary suffix still fit), and a
// name that is empty or reads "." or ".." gives `fallback`. Ordinary names stay as they are.
QString fileNameComponent(const QString &name, const QString &fallback = QStringLiteral("report"));

// A Java string literal holding `text`: quotes, backslashes and line breaks are escaped, so
// that a file name holding them still gives a valid expression.
QString javaStringLiteral(const QString &text);

// The expression of a file beside the report: "$P{SUBREPORT_DIR} + " and the file name as a
// Java string literal.
QString subreportDirExpression(const QString &fileName);
