#pragma once

#include <QList>
#include <QString>

// The tokens of an SQL text as the field guesser reads them: comments ("--" to the end of the
// line, and "/* */", which nest) and white space are left out; string literals ('...' with ''
// inside, E'...' with backslash escapes, $tag$...$tag$ bodies) and quoted identifiers ("..." with
// "" inside, `...`, and SQL Server's [...]) are one token each, so no keyword, comma or
// parenthesis inside them counts.
struct SqlToken {
    enum class Kind {
        word,   // a keyword or an unquoted identifier, as written
        quoted, // a quoted identifier; `text` is its name without the quotes
        string, // a string literal; `text` is its content
        number,
        open,  // "(" or "["
        close, // ")" or "]"
        comma,
        period,
        cast,      // "::"
        semicolon, // ";"
        symbol,    // any other operator or punctuation, one or more characters
    };
    Kind kind;
    QString text;
    qsizetype start = 0; // where it starts in the SQL text
    qsizetype end = 0;   // and ends, exclusive

    bool isWord(QStringView lowerWord) const;
};

namespace SqlTokens {

QList<SqlToken> tokenize(const QString &sql);

} // namespace SqlTokens
