#pragma once

#include "CodeSyntaxHighlighting.h"

// Colours report source: comments, CDATA sections, tags, attribute names and quoted values.
class XMLSyntaxHighlighter {
public:
    static const CodeSyntaxHighlighting &scheme();
};
