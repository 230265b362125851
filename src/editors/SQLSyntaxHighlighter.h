#pragma once

#include "CodeSyntaxHighlighting.h"

// Colours queries: keywords in any letter case, report references and $X{} clauses, numbers,
// single-quoted strings and line comments.
class SQLSyntaxHighlighter {
public:
    static const QStringList &keywords();
    static const CodeSyntaxHighlighting &scheme();
};
