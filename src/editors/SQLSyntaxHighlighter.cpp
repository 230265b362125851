#include "SQLSyntaxHighlighter.h"

using namespace Qt::StringLiterals;

const QStringList &SQLSyntaxHighlighter::keywords()
{
    static const QStringList words =
        QStringLiteral("SELECT FROM WHERE JOIN INNER LEFT RIGHT OUTER FULL ON AND "
                       "OR NOT AS GROUP BY ORDER HAVING ASC DESC INSERT INTO "
                       "VALUES UPDATE SET DELETE CREATE TABLE ALTER DROP NULL IS "
                       "IN LIKE BETWEEN UNION ALL DISTINCT LIMIT OFFSET CASE WHEN "
                       "THEN ELSE END WITH EXISTS COUNT SUM AVG MIN MAX")
            .split(u' ');
    return words;
}

const CodeSyntaxHighlighting &SQLSyntaxHighlighter::scheme()
{
    static const CodeSyntaxHighlighting scheme(
        12, {
                {u"\\b(" + keywords().join(u'|') + u")\\b", SyntaxColor::blue, true, true},
                {uR"(\$[PFV]!?\{[^}]*\}|\$X\{[^}]*\})"_s, SyntaxColor::purple},
                {uR"(\b\d+(\.\d+)?\b)"_s, SyntaxColor::orange},
                {uR"('[^']*')"_s, SyntaxColor::red},
                {uR"(--[^\n]*)"_s, SyntaxColor::green},
            });
    return scheme;
}
