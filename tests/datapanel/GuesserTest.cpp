#include "datapanel/SQLFieldGuesser.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString noFrom = u"No FROM clause found - parsed the whole query as the column list."_s;
const QString noSelect = u"Couldn't find a SELECT ... FROM clause to parse."_s;
const QString selectStar = u"SELECT * can't be resolved without a live database connection - "
                           u"list columns explicitly, or add fields by hand."_s;

QString skipped(int count)
{
    return u"Skipped "_s + QString::number(count) + (count == 1 ? u" column"_s : u" columns"_s) +
           u" with no clear name (a complex expression with no \"AS alias\") - add those by "
           u"hand."_s;
}

struct Case {
    QString query;
    QStringList names;
    std::optional<QString> note;
};

} // namespace

TEST(SQLFieldGuesser, NamesAndNotesOfEachKindOfQuery)
{
    const QString spacedNote =
        u"Alias \"customer name\" has a space but isn't quoted or bracketed - that isn't valid "
        u"SQL (most databases would reject it). Wrap it instead: AS \"customer name\" or AS "
        u"[customer name]. Skipped for now."_s;
    const QString twoSpaced =
        u"Alias \"a b\", \"c d\" has a space but isn't quoted or bracketed - that isn't valid SQL "
        u"(most databases would reject it). Wrap it instead: AS \"a b\" or AS [a b]. Skipped for "
        u"now."_s;
    const QList<Case> cases = {
        {u"SELECT id, name FROM customer"_s, {u"id"_s, u"name"_s}, {}},
        {u"select distinct c.id, c.name as customer_name from customer c"_s,
         {u"id"_s, u"customer_name"_s},
         {}},
        {u"SELECT c.name AS \"customer name\" FROM c"_s, {u"customer name"_s}, {}},
        {u"SELECT c.name AS [customer name], id FROM c"_s, {u"customer name"_s, u"id"_s}, {}},
        {u"SELECT id, c.name AS customer name FROM c"_s, {u"id"_s}, spacedNote},
        // Only the first two spaced aliases are named; the skipped part follows the alias part.
        {u"SELECT 1 AS a b, 2 AS c d, 3 AS e f, f(x) FROM t"_s, {}, twoSpaced + u' ' + skipped(1)},
        {u"SELECT x total, t.y FROM t"_s, {u"total"_s, u"y"_s}, {}},
        {u"SELECT s.t.col FROM t"_s, {}, skipped(1)},
        {u"SELECT s.t.col, s.t.other FROM t"_s, {}, skipped(2)},
        {u"SELECT count(*), max(a) AS m FROM t"_s, {u"m"_s}, skipped(1)},
        {u"SELECT a, (SELECT max(b) FROM u) AS mb FROM t"_s, {u"a"_s, u"mb"_s}, {}},
        {u"SELECT a FROM t UNION SELECT b FROM u"_s, {u"b"_s}, {}},
        {u"SELECT a, b"_s, {u"a"_s, u"b"_s}, noFrom},
        {u"SELECT a, b, c + d"_s, {u"a"_s, u"b"_s}, skipped(1)},
        {u"SELECT * FROM t"_s, {}, selectStar},
        {u"select\n  *\n from t"_s, {}, selectStar},
        {u"SELECT t.* FROM t"_s, {}, skipped(1)},
        {u"SELECT *, a FROM t"_s, {u"a"_s}, skipped(1)},
        {u"SELECT a, a FROM t"_s, {u"a"_s, u"a"_s}, {}},
        {u"SELECT a, -- the key\n  b, -- FROM here is a comment\n  c\nFROM t"_s,
         {u"a"_s, u"b"_s, u"c"_s},
         {}},
        {u"UPDATE t SET a = 1"_s, {}, noSelect},
        {u""_s, {}, noSelect},
        {u"SELECT"_s, {}, noFrom},
        // Keywords count only where delimited: these are names, not SELECT, FROM or AS.
        {u"SELECT selected, alias, a_from FROM t"_s, {u"selected"_s, u"alias"_s, u"a_from"_s}, {}},
        {u"selectx a FROM t"_s, {}, noSelect},
        {u"SeLeCt DiStInCt Ünïcode, größe_2 fRoM t"_s, {u"Ünïcode"_s, u"größe_2"_s}, {}},
        // Only DISTINCT is skipped; ALL becomes a column's first word.
        {u"SELECT ALL a FROM t"_s, {u"a"_s}, {}},
        {u"SELECT \"Quoted\" FROM t"_s, {}, skipped(1)},
        {u"SELECT a AS  FROM t"_s, {}, skipped(1)},
        {u"SELECT 2col FROM t"_s, {}, skipped(1)},
        {u"SELECT a.b c FROM t"_s, {u"c"_s}, {}},
        {u"SELECT a\n,\tb FROM t"_s, {u"a"_s, u"b"_s}, {}},
        // A sub-select in the FROM list is not the column list; the depth goes back to zero.
        {u"SELECT x FROM (SELECT y FROM u) v"_s, {u"x"_s}, {}},
        // An "as" inside parentheses belongs to the expression, not to the column.
        {u"SELECT CAST(x AS int) AS total FROM t"_s, {u"total"_s}, {}},
        {u"SELECT CAST(x AS int) FROM t"_s, {}, skipped(1)},
        {u"SELECT CAST(x AS int) AS total, y"_s, {u"total"_s, u"y"_s}, noFrom},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        const SQLFieldGuesser::Result result = SQLFieldGuesser::guessFieldNames(c.query);
        EXPECT_EQ(result.fieldNames, c.names);
        EXPECT_EQ(result.note, c.note);
    }
}
