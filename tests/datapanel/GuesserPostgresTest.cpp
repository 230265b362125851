#include "EngineTestSupport.h"
#include "datapanel/SQLFieldGuesser.h"
#include "engine/EngineRequests.h"
#include "engine/SidecarClient.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

using namespace Qt::StringLiterals;

// The field guesser against the names PostgreSQL itself gives the columns of real queries, read
// through the engine from the server that sidecar/test.sh or scripts/test starts. The tables are
// the sample database's customers and, where a query needs more, tables of its own WITH.
namespace {

const QString orders = u"WITH orders(id, customer_id, amount, placed) AS (VALUES "
                       "(1, 1, 10.50, date '2024-01-02'), (2, 1, 3.25, date '2024-02-03'), "
                       "(3, 2, 99.00, date '2024-02-10')) "_s;

const QStringList queries = {
    // aliases with and without AS, quoted and bracketed
    u"select id, name as customer_name, city \"Home Town\" from customers"_s,
    u"select c.id, c.name customer, c.balance from customers c"_s,
    u"SELECT c.id AS \"ID\", c.name AS \"Customer, Name\" FROM customers AS c"_s,
    u"select public.customers.name, customers.city from public.customers"_s,
    // functions, some with commas and FROM inside their brackets
    u"select count(*), max(balance), min(joined) as first_joined from customers"_s,
    u"select coalesce(city, 'unknown'), upper(name) as shout, length(name) from customers"_s,
    u"select extract(year from joined) as year, substring(name from 1 for 3), "
    "position('a' in name) from customers"_s,
    u"select trim(both ' ' from name), trim(leading from city), round(balance, 1) "
    "from customers"_s,
    u"select string_agg(name, ', ' order by name) as names, array_agg(id) from customers"_s,
    u"select to_char(joined, 'YYYY-MM-DD') as day, date_trunc('month', joined) "
    "from customers"_s,
    // casts
    u"select id::text, balance::numeric(12, 2) as amount, cast(joined as timestamp) "
    "from customers"_s,
    u"select 1::integer, '2024-01-01'::date, cast('7' as bigint), 2.5::double precision"_s,
    u"select (balance * 2)::int, (name || '!')::varchar(40) as loud from customers"_s,
    u"select date '2024-01-31', interval '1 day', true, false as no"_s,
    // CASE, sub-selects, EXISTS, arrays and rows
    u"select case when balance > 100 then 'rich' else 'poor' end as tier, "
    "case when active then name end from customers"_s,
    u"select case active when true then 1 else id end from customers"_s,
    u"select id, (select max(amount) from (values (1.0), (2.0)) v(amount)), "
    "(select count(*) from customers c2 where c2.city = c.city) as neighbours "
    "from customers c"_s,
    u"select exists(select 1 from customers where city is null) as has_unknown, "
    "exists(select 1)"_s,
    u"select array[1, 2, 3], array[id, id] as pair, row(id, name) from customers"_s,
    u"select (array[id, 2])[1], nullif(city, 'Boston'), greatest(id, 3), least(id, 2) "
    "from customers"_s,
    // comments everywhere
    u"select /* select a, b from x */ id, -- the key, from customers\n name /* , */ "
    "from customers"_s,
    u"/* header: select everything, from everything */\n-- and a line comment\n"
    "select name as \"select\", city as \"from\" from customers -- trailing"_s,
    u"select id /* , city */ , /* nested /* comment */ still, comment */ name "
    "from customers"_s,
    // strings and quoted names that look like SQL
    u"select 'as' as kind, 'select x, y from z' as label, name from customers"_s,
    u"select $$a, b from c$$ as body, E'it\\'s, here' as escaped, id from customers"_s,
    u"select name \"as\", id \"from\", city as \"a\"\"b\" from customers"_s,
    // set operations: the first SELECT names the columns
    u"select id, name from customers union select 9, 'x' order by 1"_s,
    u"select city as place from customers union all select 'Paris' as town"_s,
    u"(select id as n from customers) except (select 1 as m) order by n"_s,
    u"select name from customers intersect select name from customers where active"_s,
    // CTEs and derived tables
    orders + u"select o.id, o.amount, c.name from orders o join customers c "
             "on c.id = o.customer_id"_s,
    orders + u", totals as (select customer_id, sum(amount) as total from orders "
             "group by customer_id) select name, total from totals t join customers c "
             "on c.id = t.customer_id"_s,
    u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 5) "
    "select i, i * i as square from n"_s,
    u"select x.a, x.\"B\", y from (select 1 as a, 2 as \"B\") x, "
    "(select 3) as t(y)"_s,
    // DISTINCT ON, window functions, FILTER, WITHIN GROUP
    u"select distinct on (city) city, name, balance from customers order by city, balance"_s,
    u"select distinct city from customers"_s,
    u"select name, row_number() over (order by id), rank() over w as r, "
    "sum(balance) over (partition by city) from customers window w as (order by balance)"_s,
    u"select count(*) filter (where active) as active_count, "
    "percentile_cont(0.5) within group (order by balance), avg(balance) from customers"_s,
    // expressions without a name of their own
    u"select id, balance * 2, name || ' ' || city, -id, 1, 'x', null from customers"_s,
    u"select id, current_date, current_user, balance is null from customers"_s,
    // names written in capitals, a comparison with FROM in it, rows of values
    u"SELECT ID, CITY FROM CUSTOMERS"_s,
    u"select C.Name AS CustomerName, C.ID Key_ID, 1 AS ÄRGER, Größe, \"MiXed\" "
    "from (select name, id, 0 as größe, 1 as \"MiXed\" from customers) C"_s,
    u"select id, city is distinct from 'x' as changed, name as \"FullName\" from customers"_s,
    u"select id, city is not distinct from 'Boston' as here from customers"_s,
    u"values (1, 'a', 2.5), (2, 'b', 3.5)"_s,
};

struct Comparison {
    QStringList expected; // PostgreSQL's names, nameless columns left out
    int nameless = 0;     // columns PostgreSQL calls ?column?
};

} // namespace

TEST(SQLFieldGuesserPostgres, NamesTheColumnsPostgreSQLReportsForEveryQuery)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_POSTGRES("to ask");
    ASSERT_EQ(queries.size(), 45);
    const DatabaseConnection &database = postgres->connection;
    const QJsonObject connection = EngineRequests::connectionParams(database, postgres->password);
    QTemporaryDir work;
    SidecarClient engine;
    engine.setWorkFolder(work.path());
    engine.start(*location);

    int right = 0;
    for (const QString &query : queries) {
        SCOPED_TRACE(query.toStdString());
        const QJsonObject reply =
            engine.send(u"executeQuery"_s,
                        {{u"query"_s, query}, {u"maxRows"_s, 1}, {u"connection"_s, connection}});
        Comparison postgres;
        for (const QJsonValue &column : reply[u"columns"_s].toArray()) {
            if (column.toString() == u"?column?"_s)
                ++postgres.nameless;
            else
                postgres.expected.append(column.toString());
        }
        ASSERT_FALSE(postgres.expected.isEmpty() && postgres.nameless == 0);
        const SQLFieldGuesser::Result guess = SQLFieldGuesser::guessFieldNames(query);
        // Compared exactly, as Read Fields compares a live read's names with the declared ones.
        const bool sameNames = guess.fieldNames == postgres.expected;
        const bool same = sameNames && guess.unnamedColumns.size() == postgres.nameless;
        if (same)
            ++right;
        EXPECT_TRUE(sameNames) << guess.fieldNames.join(u", "_s).toStdString() << " but "
                               << postgres.expected.join(u", "_s).toStdString();
        EXPECT_EQ(guess.unnamedColumns.size(), postgres.nameless)
            << guess.note.value_or(QString()).toStdString();
    }
    std::cout << "The guesser names the columns of " << right << " of " << queries.size()
              << " queries as PostgreSQL does\n";
}
