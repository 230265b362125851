#include "XMLSyntaxHighlighter.h"

using namespace Qt::StringLiterals;

const CodeSyntaxHighlighting &XMLSyntaxHighlighter::scheme()
{
    static const CodeSyntaxHighlighting scheme(
        11, {
                {uR"(<!--[\s\S]*?-->)"_s, SyntaxColor::green},
                {uR"(<!\[CDATA\[[\s\S]*?\]\]>)"_s, SyntaxColor::gray},
                {uR"(</?[A-Za-z_][\w:.-]*|/?>|<\?xml|\?>)"_s, SyntaxColor::blue, true},
                // An attribute's name. A word not followed by "=" is passed over whole: no shorter
                // part of it nor one starting inside it is followed by one either, and trying
                // each of those costs time at every character of a long word (a line of base64).
                {uR"(\b[A-Za-z_][\w:.-]*+(*SKIP)(?=\s*=))"_s, SyntaxColor::teal},
                {uR"("[^"]*")"_s, SyntaxColor::red},
            });
    return scheme;
}
