#pragma once

#include "CodeSyntaxHighlighting.h"

// Colours report expressions: references, string literals, keywords, numbers, qualified names.
class JavaExpressionSyntaxHighlighter {
public:
    static const QStringList &keywords();
    static const CodeSyntaxHighlighting &scheme();
};
