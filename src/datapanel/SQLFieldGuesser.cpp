#include "datapanel/SQLFieldGuesser.h"

#include <QChar>
#include <string>
#include <variant>

using namespace Qt::StringLiterals;

namespace SQLFieldGuesser {
namespace {

using Text = std::u32string;
using Pos = std::size_t;

struct Named {
    QString name;
};
// An alias after "as" holding a space without quotes or brackets around it.
struct UnquotedAliasWithSpace {
    QString name;
};
struct Unnamed {};
using ColumnOutcome = std::variant<Named, UnquotedAliasWithSpace, Unnamed>;

bool isWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || c == U'_';
}

bool isWhite(char32_t c)
{
    return QChar::isSpace(c);
}

// Adds one for "(", takes one for ")"; the depth may go below zero.
void track(char32_t c, int &depth)
{
    if (c == U'(')
        ++depth;
    else if (c == U')')
        --depth;
}

// The keyword's length when it stands at `at`, delimited by non-word characters or the ends.
// `word` is lower case; the text is compared after lower-casing.
std::optional<Pos> matchLength(const Text &text, std::u32string_view word, Pos at)
{
    if (at + word.size() > text.size())
        return std::nullopt;
    if (at > 0 && isWordCharacter(text[at - 1]))
        return std::nullopt;
    for (Pos i = 0; i < word.size(); ++i)
        if (QChar::toLower(text[at + i]) != word[i])
            return std::nullopt;
    const Pos after = at + word.size();
    if (after < text.size() && isWordCharacter(text[after]))
        return std::nullopt;
    return word.size();
}

// Where the first delimited occurrence of the keyword outside any parentheses starts, scanning
// from `from` at depth 0.
std::optional<Pos> topLevelWord(const Text &text, std::u32string_view word, Pos from)
{
    int depth = 0;
    for (Pos i = from; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'(' || c == U')')
            track(c, depth);
        else if (depth == 0 && matchLength(text, word, i))
            return i;
    }
    return std::nullopt;
}

QString fromText(const Text &text, Pos from, Pos to)
{
    return QString::fromStdU32String(text.substr(from, to - from));
}

// Everything from "--" to the end of each line goes, inside literals too.
QString stripLineComments(const QString &query)
{
    QStringList lines = query.split(u'\n');
    for (QString &line : lines) {
        const qsizetype comment = line.indexOf(u"--"_s);
        if (comment >= 0)
            line.truncate(comment);
    }
    return lines.join(u'\n');
}

struct ColumnList {
    QString text;
    bool endedByFrom = false;
};

// The column list of the last top-level SELECT: after an optional DISTINCT, up to the first
// top-level FROM or the end of the text.
std::optional<ColumnList> selectColumnList(const Text &text)
{
    if (text.empty())
        return std::nullopt;
    std::optional<Pos> listStart;
    int depth = 0;
    for (Pos i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'(' || c == U')') {
            track(c, depth);
        } else if (depth == 0) {
            if (const std::optional<Pos> length = matchLength(text, U"select", i)) {
                listStart = i + *length;
                i = *listStart - 1;
                depth = 0;
            }
        }
    }
    if (!listStart)
        return std::nullopt;

    Pos start = *listStart;
    Pos first = start;
    while (first < text.size() && isWhite(text[first]))
        ++first;
    if (const std::optional<Pos> length = matchLength(text, U"distinct", first))
        start = first + *length;

    if (const std::optional<Pos> from = topLevelWord(text, U"from", start))
        return ColumnList{fromText(text, start, *from), true};
    return ColumnList{fromText(text, start, text.size()), false};
}

// The pieces between top-level separators, trimmed, empty ones dropped.
QStringList splitTopLevel(const QString &list, char32_t separator)
{
    QStringList pieces;
    QString piece;
    int depth = 0;
    const auto finish = [&] {
        const QString trimmed = piece.trimmed();
        if (!trimmed.isEmpty())
            pieces.append(trimmed);
        piece.clear();
    };
    for (const char32_t c : list.toStdU32String()) {
        track(c, depth);
        if (c == separator && depth == 0)
            finish();
        else
            piece.append(QString::fromStdU32String(Text(1, c)));
    }
    finish();
    return pieces;
}

bool isSimpleIdentifier(const QString &text)
{
    const Text characters = text.toStdU32String();
    if (characters.empty())
        return false;
    if (!QChar::isLetter(characters.front()) && characters.front() != U'_')
        return false;
    for (const char32_t c : characters)
        if (!isWordCharacter(c))
            return false;
    return true;
}

QStringList dottedPieces(const QString &text)
{
    return text.split(u'.', Qt::SkipEmptyParts);
}

// A table and a column: exactly two non-empty pieces, each a simple identifier.
bool isDotted(const QString &text)
{
    const QStringList pieces = dottedPieces(text);
    return pieces.size() == 2 && isSimpleIdentifier(pieces[0]) && isSimpleIdentifier(pieces[1]);
}

bool isNameTrimmed(QChar c)
{
    return u"\"'`[] \t"_s.contains(c);
}

QString trimName(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isNameTrimmed(text[begin]))
        ++begin;
    while (end > begin && isNameTrimmed(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool opensQuote(QChar c)
{
    return c == u'"' || c == u'\'' || c == u'`' || c == u'[';
}

ColumnOutcome columnName(const QString &column)
{
    // Only an "as" outside parentheses introduces the column's alias: the one in
    // CAST(x AS int) belongs to the cast.
    const Text characters = column.toStdU32String();
    if (const std::optional<Pos> as = topLevelWord(characters, U"as", 0)) {
        const QString alias = fromText(characters, *as + 2, characters.size()).trimmed();
        if (alias.isEmpty())
            return Unnamed{};
        const bool quoted = opensQuote(alias.front());
        const QString name = trimName(alias);
        if (name.contains(u' ') && !quoted)
            return UnquotedAliasWithSpace{name};
        return Named{name};
    }
    const QStringList words = column.split(u' ', Qt::SkipEmptyParts);
    if (words.size() == 2 && (isSimpleIdentifier(words[0]) || isDotted(words[0])))
        return Named{trimName(words[1])};
    if (isSimpleIdentifier(column))
        return Named{trimName(column)};
    if (isDotted(column))
        return Named{trimName(dottedPieces(column).constLast())};
    return Unnamed{};
}

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

QString skippedPart(int unnamed)
{
    return u"Skipped "_s + QString::number(unnamed) + u" column"_s +
           (unnamed == 1 ? u""_s : u"s"_s) +
           u" with no clear name (a complex expression with no \"AS alias\") - add those by "
           u"hand."_s;
}

} // namespace

Result guessFieldNames(const QString &query)
{
    const std::optional<ColumnList> list =
        selectColumnList(stripLineComments(query).toStdU32String());
    if (!list)
        return {{}, u"Couldn't find a SELECT ... FROM clause to parse."_s};
    const QString columns = list->text.trimmed();
    if (columns == u"*"_s)
        return {{},
                u"SELECT * can't be resolved without a live database connection - list columns "
                u"explicitly, or add fields by hand."_s};

    Result result;
    QStringList spacedAliases;
    int unnamed = 0;
    for (const QString &column : splitTopLevel(columns, U',')) {
        const ColumnOutcome outcome = columnName(column);
        if (const auto *named = std::get_if<Named>(&outcome))
            result.fieldNames.append(named->name);
        else if (const auto *spaced = std::get_if<UnquotedAliasWithSpace>(&outcome))
            spacedAliases.append(spaced->name);
        else
            ++unnamed;
    }

    QStringList parts;
    if (!spacedAliases.isEmpty())
        parts.append(aliasPart(spacedAliases));
    if (unnamed > 0)
        parts.append(skippedPart(unnamed));
    if (!list->endedByFrom && parts.isEmpty())
        parts.append(u"No FROM clause found - parsed the whole query as the column list."_s);
    if (!parts.isEmpty())
        result.note = parts.join(u' ');
    return result;
}

} // namespace SQLFieldGuesser
