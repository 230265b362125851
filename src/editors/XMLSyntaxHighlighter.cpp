#include "XMLSyntaxHighlighter.h"

using namespace Qt::StringLiterals;

const CodeSyntaxHighlighting &XMLSyntaxHighlighter::scheme()
{
    static const CodeSyntaxHighlighting scheme(
        11, {
                {uR"(<!--[\s\S]*?-->)"_s, SyntaxColor::green},
                {uR"(<!\[CDATA\[[\s\S]*?\]\]>)"_s, SyntaxColor::gray},
                {uR"(</?[A-Za-z_][\w:.-]*|/?>|<\?xml|\?>)"_s, SyntaxColor::blue, true},
                {uR"(\b[A-Za-z_][\w:.-]*(?=\s*=))"_s, SyntaxColor::teal},
                {uR"("[^"]*")"_s, SyntaxColor::red},
            });
    return scheme;
}
