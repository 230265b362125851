#include "datapanel/SQLFieldGuesser.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString noFrom = u"No FROM clause found - parsed the whole query as the column list."_s;
const QString noSelect = u"Couldn't find a SELECT ... FROM clause to parse."_s;
const QString selectStar = u"SELECT * can't be resolved without a live database connection - "
                           u"list columns explicitly, or add fields by hand."_s;

QString skipped(const QStringList &columns)
{
    const qsizetype count = columns.size();
    return u"Skipped "_s + QString::number(count) + (count == 1 ? u" column"_s : u" columns"_s) +
           u" with no clear name (a complex expression with no \"AS alias\") - add those by "
           u"hand: \""_s +
           columns.join(u"\", \""_s) + u"\"."_s;
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
        {u"SELECT 1 AS a b, 2 AS c d, 3 AS e f, f(x) + 1 FROM t"_s,
         {},
         twoSpaced + u' ' + skipped({u"f(x) + 1"_s})},
        {u"SELECT x total, t.y FROM t"_s, {u"total"_s, u"y"_s}, {}},
        // A schema-qualified column and a function call are named as PostgreSQL names them.
        {u"SELECT s.t.col, s.t.other FROM t"_s, {u"col"_s, u"other"_s}, {}},
        {u"SELECT count(*), max(a) AS m FROM t"_s, {u"count"_s, u"m"_s}, {}},
        {u"SELECT a, (SELECT max(b) FROM u) AS mb FROM t"_s, {u"a"_s, u"mb"_s}, {}},
        {u"SELECT a, (SELECT max(b) FROM u) FROM t"_s, {u"a"_s, u"max"_s}, {}},
        // The first SELECT of a set operation names its columns.
        {u"SELECT a FROM t UNION SELECT b FROM u"_s, {u"a"_s}, {}},
        {u"(SELECT a FROM t) EXCEPT (SELECT b FROM u)"_s, {u"a"_s}, {}},
        {u"SELECT a, b"_s, {u"a"_s, u"b"_s}, noFrom},
        {u"SELECT a, b, c + d"_s, {u"a"_s, u"b"_s}, skipped({u"c + d"_s})},
        {u"SELECT * FROM t"_s, {}, selectStar},
        {u"select\n  *\n from t"_s, {}, selectStar},
        {u"SELECT t.* FROM t"_s, {}, skipped({u"t.*"_s})},
        {u"SELECT *, a FROM t"_s, {u"a"_s}, skipped({u"*"_s})},
        {u"SELECT a, a FROM t"_s, {u"a"_s, u"a"_s}, {}},
        {u"SELECT a, -- the key\n  b, -- FROM here is a comment\n  c\nFROM t"_s,
         {u"a"_s, u"b"_s, u"c"_s},
         {}},
        // Block comments, string literals and quoted names hide keywords and commas.
        {u"SELECT /* select x, y from z */ a, /* , */ b FROM t"_s, {u"a"_s, u"b"_s}, {}},
        {u"/* the select list below */\nSELECT a FROM t"_s, {u"a"_s}, {}},
        {u"SELECT 'as' AS kind, 'select a, b from' AS label FROM t"_s, {u"kind"_s, u"label"_s}, {}},
        {u"SELECT \"from\", \"a,b\" FROM t"_s, {u"from"_s, u"a,b"_s}, {}},
        {u"SELECT $$a, b FROM$$ AS body FROM t"_s, {u"body"_s}, {}},
        {u"SELECT DISTINCT ON (a, b) a, c FROM t"_s, {u"a"_s, u"c"_s}, {}},
        {u"SELECT TOP 10 a, b FROM t"_s, {u"a"_s, u"b"_s}, {}},
        {u"SELECT TOP (5) PERCENT WITH TIES a FROM t ORDER BY a"_s, {u"a"_s}, {}},
        {u"WITH x AS (SELECT 1 AS one) SELECT one, two FROM x"_s, {u"one"_s, u"two"_s}, {}},
        {u"UPDATE t SET a = 1"_s, {}, noSelect},
        {u""_s, {}, noSelect},
        {u"SELECT"_s, {}, noFrom},
        // Keywords count only where delimited: these are names, not SELECT, FROM or AS.
        {u"SELECT selected, alias, a_from FROM t"_s, {u"selected"_s, u"alias"_s, u"a_from"_s}, {}},
        {u"selectx a FROM t"_s, {}, noSelect},
        {u"SeLeCt DiStInCt Ünïcode, größe_2 fRoM t"_s, {u"Ünïcode"_s, u"größe_2"_s}, {}},
        {u"SELECT ALL a FROM t"_s, {u"a"_s}, {}},
        {u"SELECT \"Quoted\" FROM t"_s, {u"Quoted"_s}, {}},
        {u"SELECT a AS  FROM t"_s, {}, skipped({u"a AS"_s})},
        {u"SELECT 2col FROM t"_s, {}, skipped({u"2col"_s})},
        {u"SELECT a.b c FROM t"_s, {u"c"_s}, {}},
        {u"SELECT a\n,\tb FROM t"_s, {u"a"_s, u"b"_s}, {}},
        // A sub-select in the FROM list is not the column list.
        {u"SELECT x FROM (SELECT y FROM u) v"_s, {u"x"_s}, {}},
        // An "as" inside parentheses belongs to the expression, not to the column.
        {u"SELECT CAST(x AS int) AS total FROM t"_s, {u"total"_s}, {}},
        {u"SELECT CAST(x AS int), 1::bigint, x::text FROM t"_s, {u"x"_s, u"int8"_s, u"x"_s}, {}},
        {u"SELECT CAST(x AS int) AS total, y"_s, {u"total"_s, u"y"_s}, noFrom},
        {u"SELECT 1, 'a' || b FROM t"_s, {}, skipped({u"1"_s, u"'a' || b"_s})},
        // IS [NOT] DISTINCT FROM compares; it does not end the select list.
        {u"select id, city is distinct from 'x' as changed, \"FullName\" from customers"_s,
         {u"id"_s, u"changed"_s, u"FullName"_s},
         {}},
        {u"select a is not distinct from b as same, c from t"_s, {u"same"_s, u"c"_s}, {}},
        {u"select distinct from_date from t"_s, {u"from_date"_s}, {}},
        // Unquoted names are folded to lower case as PostgreSQL folds them (A to Z only), so a
        // live read of the query finds the same names; quoted and bracketed ones stay as written.
        {u"SELECT ID, CITY FROM CUSTOMERS"_s, {u"id"_s, u"city"_s}, {}},
        {u"SELECT C.Name AS CustomerName, T.ID Total_ID, \"MiXed\", [Order Id] FROM c"_s,
         {u"customername"_s, u"total_id"_s, u"MiXed"_s, u"Order Id"_s},
         {}},
        {u"SELECT 1 AS ÄRGER, Größe, COUNT(*), \"MyCount\"(x), S.T.COL FROM t"_s,
         {u"Ärger"_s, u"größe"_s, u"count"_s, u"MyCount"_s, u"col"_s},
         {}},
        // VALUES names its columns by position; TABLE's columns only the database knows.
        {u"VALUES (1, 'a', f(2, 3)), (2, 'b', 0)"_s,
         {u"column1"_s, u"column2"_s, u"column3"_s},
         {}},
        {u"TABLE products"_s,
         {},
         u"TABLE returns every column of the table, which can't be known without a live "
         u"database connection - read the fields from a connection, or list the columns in a "
         u"SELECT."_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        const SQLFieldGuesser::Result result = SQLFieldGuesser::guessFieldNames(c.query);
        EXPECT_EQ(result.fieldNames, c.names);
        EXPECT_EQ(result.note, c.note);
    }
}
