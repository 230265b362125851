#include "datapanel/SqlColumnName.h"

#include <QSet>

using namespace Qt::StringLiterals;
using Kind = SqlToken::Kind;

namespace SqlColumnName {
namespace {

// How sure a name is, as PostgreSQL weighs it: a column's or a function's own name beats the
// name of a type or of a CASE, which an enclosing cast or CASE may replace.
enum class Strength { none, weak, strong };
struct Guess {
    QString name;
    Strength strength = Strength::none;
};

Guess strong(const QString &name)
{
    return {name, Strength::strong};
}
Guess weak(const QString &name)
{
    return {name, Strength::weak};
}

// Words that never stand as an implicit alias, or end an expression as a column name would.
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {u"all"_s,
                                        u"and"_s,
                                        u"any"_s,
                                        u"as"_s,
                                        u"asc"_s,
                                        u"between"_s,
                                        u"case"_s,
                                        u"collate"_s,
                                        u"desc"_s,
                                        u"distinct"_s,
                                        u"else"_s,
                                        u"end"_s,
                                        u"false"_s,
                                        u"from"_s,
                                        u"ilike"_s,
                                        u"in"_s,
                                        u"is"_s,
                                        u"isnull"_s,
                                        u"like"_s,
                                        u"not"_s,
                                        u"notnull"_s,
                                        u"null"_s,
                                        u"on"_s,
                                        u"or"_s,
                                        u"over"_s,
                                        u"similar"_s,
                                        u"some"_s,
                                        u"then"_s,
                                        u"true"_s,
                                        u"unknown"_s,
                                        u"when"_s,
                                        u"filter"_s,
                                        u"within"_s,
                                        u"escape"_s,
                                        u"current_date"_s,
                                        u"current_time"_s,
                                        u"current_timestamp"_s,
                                        u"localtime"_s,
                                        u"localtimestamp"_s,
                                        u"current_user"_s,
                                        u"session_user"_s,
                                        u"user"_s,
                                        u"current_role"_s,
                                        u"current_catalog"_s,
                                        u"current_schema"_s};
    return words;
}

// Keywords that name their own value (SQL's niladic functions).
const QSet<QString> &valueKeywords()
{
    static const QSet<QString> words = {
        u"current_date"_s,   u"current_time"_s,    u"current_timestamp"_s, u"localtime"_s,
        u"localtimestamp"_s, u"current_user"_s,    u"session_user"_s,      u"user"_s,
        u"current_role"_s,   u"current_catalog"_s, u"current_schema"_s};
    return words;
}

// Words that join two operands, so an expression that holds one at its top has no name.
const QSet<QString> &operatorWords()
{
    static const QSet<QString> words = {u"and"_s,     u"or"_s,     u"not"_s,     u"is"_s,
                                        u"in"_s,      u"like"_s,   u"ilike"_s,   u"between"_s,
                                        u"similar"_s, u"isnull"_s, u"notnull"_s, u"at"_s};
    return words;
}

QString lower(const SqlToken &t)
{
    return t.text.toLower();
}

// The name an identifier stands for, as PostgreSQL reads it: a quoted one as written, an
// unquoted one folded to lower case (only A to Z, as the server does for UTF-8 databases). The
// engine's own database, which runs queries without a connection, folds the same way.
QString identifier(const SqlToken &t)
{
    if (t.kind != Kind::word)
        return t.text;
    QString folded = t.text;
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

bool isName(const SqlToken &t)
{
    return (t.kind == Kind::word && !reservedWords().contains(lower(t))) || t.kind == Kind::quoted;
}

// Calls `visit` with each token index at the top level of `span` (outside brackets); stops when
// it returns true and gives that index, else -1.
template <typename Visit> qsizetype findTopLevel(const Tokens &tokens, Span span, Visit visit)
{
    for (qsizetype i = span.begin; i < span.end; ++i) {
        if (tokens[i].kind == Kind::open) {
            i = closing(tokens, i, span.end);
            continue;
        }
        if (visit(i))
            return i;
    }
    return -1;
}

// PostgreSQL's own name of a type as written after "::" or AS in a cast.
QString typeName(const Tokens &tokens, Span span)
{
    QStringList words;
    for (qsizetype i = span.begin; i < span.end && tokens[i].kind == Kind::word; ++i)
        words.append(lower(tokens[i]));
    if (words.isEmpty())
        return tokens[span.begin].kind == Kind::quoted ? tokens[span.begin].text : QString();
    const QString first = words.front();
    const QString written = words.join(u' ');
    static const QHash<QString, QString> names = {
        {u"int"_s, u"int4"_s},        {u"integer"_s, u"int4"_s},    {u"smallint"_s, u"int2"_s},
        {u"bigint"_s, u"int8"_s},     {u"real"_s, u"float4"_s},     {u"float"_s, u"float8"_s},
        {u"decimal"_s, u"numeric"_s}, {u"dec"_s, u"numeric"_s},     {u"boolean"_s, u"bool"_s},
        {u"char"_s, u"bpchar"_s},     {u"character"_s, u"bpchar"_s}};
    if (written.startsWith(u"double precision"_s))
        return u"float8"_s;
    if (written.startsWith(u"character varying"_s))
        return u"varchar"_s;
    if ((first == u"timestamp"_s || first == u"time"_s) && written.contains(u"with time zone"_s))
        return first + u"tz"_s;
    if (span.size() > 1 && tokens[span.begin + 1].kind == Kind::period)
        return lower(tokens[qMin(span.begin + 2, span.end - 1)]); // schema.type
    return names.value(first, first);
}

Guess expression(const Tokens &tokens, Span span);

// The name of a sub-select's first column, as a scalar sub-select is named.
Guess subSelect(const Tokens &tokens, Span span)
{
    const std::optional<SelectList> list = selectList(tokens, span);
    if (!list)
        return {};
    const QList<Span> parts = columns(tokens, list->span);
    if (parts.isEmpty())
        return {};
    const Outcome first = of(tokens, parts.front());
    if (const auto *named = std::get_if<Named>(&first))
        return strong(named->name);
    return {};
}

// A function call's name: its last name part; TRIM is BTRIM, LTRIM or RTRIM underneath.
Guess functionCall(const Tokens &tokens, qsizetype nameAt, qsizetype open, qsizetype close)
{
    const SqlToken &name = tokens[nameAt];
    const QString word = identifier(name);
    if (word == u"cast"_s) {
        const Span inner{open + 1, close};
        const qsizetype as =
            findTopLevel(tokens, inner, [&](qsizetype i) { return tokens[i].isWord(u"as"); });
        if (as < 0)
            return {};
        const Guess operand = expression(tokens, {inner.begin, as});
        if (operand.strength == Strength::strong)
            return operand;
        return weak(typeName(tokens, {as + 1, inner.end}));
    }
    if (word == u"trim"_s && name.kind == Kind::word) {
        if (open + 1 < close && tokens[open + 1].isWord(u"leading"))
            return strong(u"ltrim"_s);
        if (open + 1 < close && tokens[open + 1].isWord(u"trailing"))
            return strong(u"rtrim"_s);
        return strong(u"btrim"_s);
    }
    if (word == u"exists"_s || word == u"array"_s) {
        return strong(word);
    }
    return strong(word);
}

// A CASE is named by its ELSE branch when that has a name of its own, else "case".
Guess caseExpression(const Tokens &tokens, Span span)
{
    int depth = 0;
    qsizetype elseAt = -1;
    for (qsizetype i = span.begin + 1; i < span.end - 1; ++i) {
        if (tokens[i].kind == Kind::open) {
            i = closing(tokens, i, span.end);
            continue;
        }
        if (tokens[i].isWord(u"case"))
            ++depth;
        else if (tokens[i].isWord(u"end"))
            --depth;
        else if (depth == 0 && tokens[i].isWord(u"else"))
            elseAt = i;
    }
    if (elseAt >= 0) {
        const Guess otherwise = expression(tokens, {elseAt + 1, span.end - 1});
        if (otherwise.strength == Strength::strong)
            return otherwise;
    }
    return weak(u"case"_s);
}

// A primary: a name, a dotted name, a call, a literal, a bracketed expression or sub-select.
Guess primary(const Tokens &tokens, Span span)
{
    if (span.size() <= 0)
        return {};
    const SqlToken &first = tokens[span.begin];
    const SqlToken &last = tokens[span.end - 1];
    if (first.kind == Kind::open && first.text == u"("_s &&
        closing(tokens, span.begin, span.end) == span.end - 1) {
        const Span inner{span.begin + 1, span.end - 1};
        if (inner.size() > 0 &&
            (tokens[inner.begin].isWord(u"select") || tokens[inner.begin].isWord(u"with")))
            return subSelect(tokens, inner);
        return expression(tokens, inner);
    }
    if (first.isWord(u"case") && last.isWord(u"end"))
        return caseExpression(tokens, span);
    if (span.size() == 1) {
        if (first.kind == Kind::quoted)
            return strong(first.text);
        if (first.kind != Kind::word)
            return {};
        const QString word = lower(first);
        if (valueKeywords().contains(word))
            return strong(word);
        if (reservedWords().contains(word))
            return {};
        return strong(identifier(first));
    }
    // a typed literal: DATE '2024-01-31', INTERVAL '1 day'
    if (span.size() == 2 && first.kind == Kind::word && last.kind == Kind::string)
        return weak(typeName(tokens, {span.begin, span.begin + 1}));
    if (first.isWord(u"array") && tokens[span.begin + 1].kind == Kind::open)
        return strong(u"array"_s);
    // a subscript names nothing: arr[1] is named as arr
    if (last.kind == Kind::close && last.text == u"]"_s) {
        for (qsizetype open = span.end - 2; open > span.begin; --open)
            if (tokens[open].kind == Kind::open && closing(tokens, open, span.end) == span.end - 1)
                return tokens[open].text == u"["_s ? primary(tokens, {span.begin, open}) : Guess{};
    }
    // a dotted name or a field of a composite: the last part
    if (tokens[span.end - 2].kind == Kind::period) {
        if (last.kind == Kind::word || last.kind == Kind::quoted)
            return strong(identifier(last));
        return {}; // t.*
    }
    // a call, perhaps with FILTER (...), WITHIN GROUP (...) or OVER ... after it
    if (isName(first) || first.kind == Kind::word) {
        qsizetype at = span.begin;
        while (at + 2 < span.end && tokens[at + 1].kind == Kind::period)
            at += 2;
        if (at + 1 < span.end && tokens[at + 1].kind == Kind::open) {
            const qsizetype close = closing(tokens, at + 1, span.end);
            qsizetype rest = close + 1;
            while (rest < span.end) {
                if (tokens[rest].isWord(u"filter") || tokens[rest].isWord(u"within")) {
                    while (rest < span.end && tokens[rest].kind != Kind::open)
                        ++rest;
                    rest = closing(tokens, rest, span.end) + 1;
                } else if (tokens[rest].isWord(u"over")) {
                    rest = rest + 1 < span.end && tokens[rest + 1].kind == Kind::open
                               ? closing(tokens, rest + 1, span.end) + 1
                               : rest + 2;
                } else {
                    return {};
                }
            }
            return functionCall(tokens, at, at + 1, close);
        }
    }
    return {};
}

Guess expression(const Tokens &tokens, Span span)
{
    if (span.size() <= 0)
        return {};
    // An operator at the top makes the value nameless; "::" and COLLATE keep the operand's.
    const qsizetype op = findTopLevel(tokens, span, [&](qsizetype i) {
        const SqlToken &t = tokens[i];
        if (t.kind == Kind::symbol)
            return true;
        return t.kind == Kind::word && operatorWords().contains(lower(t));
    });
    if (op >= 0)
        return {};
    const qsizetype collate =
        findTopLevel(tokens, span, [&](qsizetype i) { return tokens[i].isWord(u"collate"); });
    if (collate > span.begin)
        return expression(tokens, {span.begin, collate});
    qsizetype lastCast = -1;
    findTopLevel(tokens, span, [&](qsizetype i) {
        if (tokens[i].kind == Kind::cast)
            lastCast = i;
        return false;
    });
    if (lastCast > span.begin) {
        const Guess operand = expression(tokens, {span.begin, lastCast});
        if (operand.strength == Strength::strong)
            return operand;
        return lastCast + 1 < span.end ? weak(typeName(tokens, {lastCast + 1, span.end})) : Guess{};
    }
    return primary(tokens, span);
}

// Where the select list ends: a clause keyword, a set operator or ";" at its own level.
bool endsSelectList(const SqlToken &t)
{
    static const QSet<QString> words = {u"from"_s,   u"into"_s,  u"where"_s,  u"group"_s,
                                        u"having"_s, u"order"_s, u"union"_s,  u"intersect"_s,
                                        u"except"_s, u"limit"_s, u"offset"_s, u"fetch"_s,
                                        u"window"_s, u"for"_s,   u"option"_s};
    return t.kind == Kind::semicolon || (t.kind == Kind::word && words.contains(lower(t)));
}

// Whether the FROM at `from` ends the comparison IS [NOT] DISTINCT FROM.
bool isDistinctFrom(const Tokens &tokens, qsizetype first, qsizetype from)
{
    if (from - 2 < first || !tokens[from - 1].isWord(u"distinct"))
        return false;
    const qsizetype before = tokens[from - 2].isWord(u"not") ? from - 3 : from - 2;
    return before >= first && tokens[before].isWord(u"is");
}

} // namespace

qsizetype closing(const Tokens &tokens, qsizetype open, qsizetype end)
{
    int depth = 0;
    for (qsizetype i = open; i < end; ++i) {
        if (tokens[i].kind == Kind::open)
            ++depth;
        else if (tokens[i].kind == Kind::close && --depth == 0)
            return i;
    }
    return end;
}

std::optional<SelectList> selectList(const Tokens &tokens, Span span)
{
    // The first SELECT at the outermost level that holds one: a WITH's queries and sub-selects
    // lie inside brackets, and of a UNION the first SELECT names the columns.
    qsizetype select = -1;
    int selectDepth = 0;
    int depth = 0;
    for (qsizetype i = span.begin; i < span.end; ++i) {
        const SqlToken &t = tokens[i];
        if (t.kind == Kind::open)
            ++depth;
        else if (t.kind == Kind::close)
            --depth;
        else if (t.isWord(u"select") && (select < 0 || depth < selectDepth)) {
            select = i;
            selectDepth = depth;
        }
    }
    if (select < 0)
        return std::nullopt;
    qsizetype start = select + 1;
    const auto at = [&](QStringView word) {
        return start < span.end && tokens[start].isWord(word);
    };
    if (at(u"all")) {
        ++start;
    } else if (at(u"distinct")) {
        ++start;
        if (at(u"on") && start + 1 < span.end && tokens[start + 1].kind == Kind::open)
            start = closing(tokens, start + 1, span.end) + 1;
    }
    if (at(u"top")) {
        ++start;
        if (start < span.end && tokens[start].kind == Kind::open)
            start = closing(tokens, start, span.end) + 1;
        else
            ++start;
        if (at(u"percent"))
            ++start;
        if (at(u"with") && start + 1 < span.end && tokens[start + 1].isWord(u"ties"))
            start += 2;
    }
    start = qMin(start, span.end);
    for (qsizetype i = start; i < span.end; ++i) {
        const SqlToken &t = tokens[i];
        if (t.kind == Kind::open) {
            i = closing(tokens, i, span.end);
            continue;
        }
        if (t.kind == Kind::close)
            return SelectList{{start, i}, false};
        // WITHIN GROUP belongs to an aggregate, not to a GROUP BY, and IS [NOT] DISTINCT FROM
        // is a comparison, not the query's FROM
        if (endsSelectList(t) &&
            !(t.isWord(u"group") && i > start && tokens[i - 1].isWord(u"within")) &&
            !(t.isWord(u"from") && isDistinctFrom(tokens, start, i)))
            return SelectList{{start, i}, t.isWord(u"from")};
    }
    return SelectList{{start, span.end}, false};
}

QList<Span> columns(const Tokens &tokens, Span list)
{
    QList<Span> parts;
    qsizetype begin = list.begin;
    findTopLevel(tokens, list, [&](qsizetype i) {
        if (tokens[i].kind == Kind::comma) {
            if (i > begin)
                parts.append({begin, i});
            begin = i + 1;
        }
        return false;
    });
    if (list.end > begin)
        parts.append({begin, list.end});
    return parts;
}

Outcome of(const Tokens &tokens, Span column)
{
    // The alias after the last AS at the column's top level (the AS of a CAST lies inside it).
    qsizetype as = -1;
    findTopLevel(tokens, column, [&](qsizetype i) {
        if (tokens[i].isWord(u"as"))
            as = i;
        return false;
    });
    if (as >= 0) {
        const Span alias{as + 1, column.end};
        if (alias.size() <= 0)
            return Unnamed{};
        const SqlToken &first = tokens[alias.begin];
        if (alias.size() == 1 || first.kind != Kind::word) {
            if (first.kind == Kind::word || first.kind == Kind::quoted ||
                first.kind == Kind::string)
                return Named{identifier(first)};
            return Unnamed{};
        }
        QStringList words;
        for (qsizetype i = alias.begin; i < alias.end; ++i)
            words.append(tokens[i].text);
        return UnquotedAliasWithSpace{words.join(u' ')};
    }
    // An alias without AS: a name right after a complete operand.
    if (column.size() >= 2) {
        const SqlToken &last = tokens[column.end - 1];
        const SqlToken &before = tokens[column.end - 2];
        const bool operandEnds =
            before.kind == Kind::close || before.kind == Kind::string ||
            before.kind == Kind::number || before.kind == Kind::quoted ||
            (before.kind == Kind::word &&
             (!reservedWords().contains(lower(before)) || before.isWord(u"end") ||
              before.isWord(u"null") || before.isWord(u"true") || before.isWord(u"false") ||
              valueKeywords().contains(lower(before))));
        const bool typedLiteral = last.kind == Kind::string;
        // the second word of a type: DOUBLE PRECISION, CHARACTER VARYING, TIME ZONE
        const bool typeWords =
            (last.isWord(u"precision") && before.isWord(u"double")) ||
            (last.isWord(u"varying") && (before.isWord(u"character") || before.isWord(u"char"))) ||
            (last.isWord(u"zone") && before.isWord(u"time"));
        if (isName(last) && operandEnds && !typedLiteral && !typeWords &&
            !(before.kind == Kind::word && column.size() == 2 && before.isWord(u"array")))
            return Named{identifier(last)};
    }
    const Guess guess = expression(tokens, column);
    if (guess.strength == Strength::none || guess.name.isEmpty())
        return Unnamed{};
    return Named{guess.name};
}

} // namespace SqlColumnName
