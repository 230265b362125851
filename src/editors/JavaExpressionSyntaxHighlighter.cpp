#include "JavaExpressionSyntaxHighlighter.h"

using namespace Qt::StringLiterals;

const QStringList &JavaExpressionSyntaxHighlighter::keywords()
{
    static const QStringList words = {u"new"_s, u"null"_s, u"true"_s, u"false"_s, u"instanceof"_s};
    return words;
}

const CodeSyntaxHighlighting &JavaExpressionSyntaxHighlighter::scheme()
{
    static const CodeSyntaxHighlighting scheme(
        12, {
                {uR"(\$[PFV]!?\{[^}]*\})"_s, SyntaxColor::purple},
                {uR"("(?:[^"\\]|\\.)*")"_s, SyntaxColor::red},
                {u"\\b(" + keywords().join(u'|') + u")\\b", SyntaxColor::blue, true},
                {uR"(\b\d+(\.\d+)?\b)"_s, SyntaxColor::orange},
                {uR"(\b[a-z][a-zA-Z0-9]*(\.[a-zA-Z][a-zA-Z0-9]*){2,}\b)"_s, SyntaxColor::teal},
            });
    return scheme;
}
