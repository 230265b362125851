#include "datapanel/SQLFieldGuesser.h"

#include "datapanel/SqlColumnName.h"
#include "datapanel/SqlTokens.h"

using namespace Qt::StringLiterals;

namespace SQLFieldGuesser {
namespace {

using namespace SqlColumnName;

QString aliasPart(const QStringList &spacedAliases)
{
    QStringList shown;
    for (const QString &alias : spacedAliases.first(std::min<qsizetype>(2, spacedAliases.size())))
        shown.append(u'"' + alias + u'"');
    const QString &first = spacedAliases.front();
    return u"Alias "_s + shown.join(u", "_s) +
           u" has a space but isn't quoted or bracketed - that isn't valid SQL (most databases "
           u"would reject it). Wrap it instead: AS \""_s +
           first + u"\" or AS ["_s + first + u"]. Skipped for now."_s;
}

QString skippedPart(const QStringList &unnamed)
{
    const qsizetype count = unnamed.size();
    QStringList shown;
    for (const QString &column : unnamed)
        shown.append(u'"' + column + u'"');
    return u"Skipped "_s + QString::number(count) + u" column"_s + (count == 1 ? u""_s : u"s"_s) +
           u" with no clear name (a complex expression with no \"AS alias\") - add those by "
           u"hand: "_s +
           shown.join(u", "_s) + u'.';
}

// A column's text as written, comments left out and white space made single.
QString columnText(const QString &query, const QList<SqlToken> &tokens, Span column)
{
    QStringList pieces;
    for (qsizetype i = column.begin; i < column.end; ++i) {
        const SqlToken &t = tokens[i];
        const bool joined = i > column.begin && tokens[i - 1].end == t.start;
        const QString text = query.sliced(t.start, t.end - t.start);
        if (joined)
            pieces.last() += text;
        else
            pieces.append(text);
    }
    return pieces.join(u' ').simplified();
}

// A query that is a VALUES list names its columns column1, column2 ... as PostgreSQL does; one
// that is TABLE name has the table's columns, which only the database knows.
std::optional<Result> valuesOrTable(const QList<SqlToken> &tokens)
{
    qsizetype first = 0;
    while (first < tokens.size() && tokens[first].kind == SqlToken::Kind::open)
        ++first;
    if (first >= tokens.size())
        return std::nullopt;
    if (tokens[first].isWord(u"table")) {
        return Result{{},
                      u"TABLE returns every column of the table, which can't be known without a "
                      u"live database connection - read the fields from a connection, or list "
                      u"the columns in a SELECT."_s,
                      {}};
    }
    if (!tokens[first].isWord(u"values") || first + 1 >= tokens.size() ||
        tokens[first + 1].kind != SqlToken::Kind::open)
        return std::nullopt;
    // The first row's values, split at the commas outside its inner brackets.
    const QList<Span> values =
        columns(tokens, {first + 2, closing(tokens, first + 1, tokens.size())});
    Result result;
    for (qsizetype i = 1; i <= values.size(); ++i)
        result.fieldNames.append(u"column"_s + QString::number(i));
    return result;
}

} // namespace

Result guessFieldNames(const QString &query)
{
    const QList<SqlToken> tokens = SqlTokens::tokenize(query);
    const std::optional<SelectList> list = selectList(tokens, {0, tokens.size()});
    if (!list) {
        if (std::optional<Result> other = valuesOrTable(tokens))
            return *other;
        return {{}, u"Couldn't find a SELECT ... FROM clause to parse."_s, {}};
    }
    const QList<Span> parts = columns(tokens, list->span);
    if (parts.size() == 1 && parts.front().size() == 1 &&
        tokens[parts.front().begin].text == u"*"_s)
        return {{},
                u"SELECT * can't be resolved without a live database connection - list columns "
                u"explicitly, or add fields by hand."_s,
                {u"*"_s}};

    Result result;
    QStringList spacedAliases;
    for (const Span &column : parts) {
        const Outcome outcome = SqlColumnName::of(tokens, column);
        if (const auto *named = std::get_if<Named>(&outcome))
            result.fieldNames.append(named->name);
        else if (const auto *spaced = std::get_if<UnquotedAliasWithSpace>(&outcome))
            spacedAliases.append(spaced->name);
        else
            result.unnamedColumns.append(columnText(query, tokens, column));
    }

    QStringList notes;
    if (!spacedAliases.isEmpty())
        notes.append(aliasPart(spacedAliases));
    if (!result.unnamedColumns.isEmpty())
        notes.append(skippedPart(result.unnamedColumns));
    if (!list->endedByFrom && notes.isEmpty())
        notes.append(u"No FROM clause found - parsed the whole query as the column list."_s);
    if (!notes.isEmpty())
        result.note = notes.join(u' ');
    result.unnamedColumns.append(spacedAliases);
    return result;
}

} // namespace SQLFieldGuesser
