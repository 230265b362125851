#include "engine/JdbcURLParser.h"
#include "ConnectionPrinters.h"

#include <gtest/gtest.h>

namespace {

ParsedJdbcURL url(DatabaseType type, const QString &host, qint64 port, const QString &database,
                  std::optional<QString> username = std::nullopt,
                  std::optional<QString> password = std::nullopt)
{
    return {type, host, port, database, std::move(username), std::move(password)};
}

const auto pg = DatabaseType::postgres;
const auto ms = DatabaseType::sqlserver;

struct ParseCase {
    const char *text;
    std::optional<ParsedJdbcURL> expected;
};

} // namespace

TEST(JdbcURLParser, ParsesBothForms)
{
    const QString localhost = QStringLiteral("localhost");
    const ParseCase cases[] = {
        // PostgreSQL: host, port, database and a query of properties.
        {" \tJDBC:PostgreSQL://DbHost:6543/SalesDB\n",
         url(pg, QStringLiteral("DbHost"), 6543, QStringLiteral("SalesDB"))},
        {"jdbc:postgresql://", url(pg, localhost, 5432, {})},
        {"jdbc:postgresql://h/", url(pg, QStringLiteral("h"), 5432, {})},
        {"jdbc:postgresql:///db", url(pg, localhost, 5432, QStringLiteral("db"))},
        {"jdbc:postgresql://:5433/db", url(pg, localhost, 5433, QStringLiteral("db"))},
        {"jdbc:postgresql://h:/db", url(pg, QStringLiteral("h"), 5432, QStringLiteral("db"))},
        {"jdbc:postgresql://h:5x/db", url(pg, QStringLiteral("h"), 5432, QStringLiteral("db"))},
        {"jdbc:postgresql://h: 5433", url(pg, QStringLiteral("h"), 5432, {})},
        {"jdbc:postgresql://h:99999999999999999999", url(pg, QStringLiteral("h"), 5432, {})},
        {"jdbc:postgresql://h/a/b?c", url(pg, QStringLiteral("h"), 5432, QStringLiteral("a/b"))},
        {"jdbc:postgresql://h/db?user=al%20ice&password=p%40ss%E2%82%AC&ssl=true",
         url(pg, QStringLiteral("h"), 5432, QStringLiteral("db"), QStringLiteral("al ice"),
             QStringLiteral("p@ss€"))},
        {"jdbc:postgresql://h/db?user&password=&=x",
         url(pg, QStringLiteral("h"), 5432, QStringLiteral("db"))},
        {"jdbc:postgresql://h?user=%zz&password=%FF",
         url(pg, QStringLiteral("h"), 5432, {}, QStringLiteral("%zz"), QStringLiteral("%FF"))},
        {"jdbc:postgresql://h?user=a&&USER=b%3D&password=x=y",
         url(pg, QStringLiteral("h"), 5432, {}, QStringLiteral("b="), QStringLiteral("x=y"))},
        // SQL Server: host and port, then properties after semicolons.
        {"jdbc:SQLServer://srv\\inst:1500;DatabaseName=Sales;USER=sa;encrypt=true;"
         "trustServerCertificate=true",
         url(ms, QStringLiteral("srv\\inst"), 1500, QStringLiteral("Sales"), QStringLiteral("sa"))},
        {"jdbc:sqlserver://srv:port;password=p%40ss;user=",
         url(ms, QStringLiteral("srv"), 1433, {}, std::nullopt, QStringLiteral("p%40ss"))},
        {"jdbc:sqlserver://;databaseName=x;;user=a;user=b",
         url(ms, localhost, 1433, QStringLiteral("x"), QStringLiteral("b"))},
        {"jdbc:sqlserver://:1500", url(ms, localhost, 1500, {})},
        {"jdbc:sqlserver://", std::nullopt},
        {"jdbc:sqlserver://;;;", std::nullopt},
        // Anything else.
        {"jdbc:mysql://h/db", std::nullopt},
        {"postgresql://h/db", std::nullopt},
        {"", std::nullopt},
    };
    for (const ParseCase &c : cases)
        EXPECT_EQ(JdbcURLParser::parse(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(JdbcURLParser, BuildsTheAddressWithoutCredentials)
{
    DatabaseConnection c;
    c.host = QStringLiteral("DbHost");
    c.port = 6543;
    c.username = QStringLiteral("sa");
    const struct {
        DatabaseType type;
        const char *database;
        const char *expected;
    } cases[] = {
        {pg, "", "jdbc:postgresql://DbHost:6543"},
        {pg, "Sales", "jdbc:postgresql://DbHost:6543/Sales"},
        {ms, "", "jdbc:sqlserver://DbHost:6543;"},
        {ms, "Sales", "jdbc:sqlserver://DbHost:6543;databaseName=Sales;"},
    };
    for (const auto &[type, database, expected] : cases) {
        c.type = type;
        c.database = QString::fromUtf8(database);
        const QString built = JdbcURLParser::build(c);
        EXPECT_EQ(built, QString::fromUtf8(expected));
        EXPECT_EQ(JdbcURLParser::parse(built), url(type, c.host, c.port, c.database)) << expected;
    }
}
