#include "ExpressionSnippet.h"

#include "model/Identifiers.h"

using namespace Qt::StringLiterals;

const QList<ExpressionSnippet> &expressionSnippets()
{
    static const QList<ExpressionSnippet> snippets = [] {
        const std::pair<QString, QString> table[] = {
            {u"Concatenate"_s, u"+ \"\""_s},
            {u"String literal"_s, u"\"\""_s},
            {u"If / Else"_s, u"(<condition> ? <then> : <else>)"_s},
            {u"Not Null Check"_s, u"<expr> != null"_s},
            {u"Blank Check"_s, u"<expr> == null || <expr>.isEmpty()"_s},
            {u"Uppercase"_s, u"<expr>.toUpperCase()"_s},
            {u"Lowercase"_s, u"<expr>.toLowerCase()"_s},
            {u"Substring"_s, u"<expr>.substring(0, 10)"_s},
            {u"Format Date"_s, u"new java.text.SimpleDateFormat(\"MM/dd/yyyy\").format(<expr>)"_s},
            {u"Format Number"_s, u"new java.text.DecimalFormat(\"#,##0.00\").format(<expr>)"_s},
            {u"Today"_s, u"new java.util.Date()"_s},
            {u"Page Number"_s, u"$V{PAGE_NUMBER}"_s},
        };
        QList<ExpressionSnippet> list;
        for (const auto &[label, text] : table)
            list.append({newId(), label, text});
        return list;
    }();
    return snippets;
}
