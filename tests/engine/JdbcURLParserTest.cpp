#include "engine/JdbcURLParser.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What a URL reads as: "<type> <host>:<port>/<database>", then " user=..." and " password=..."
// when it gives them; "none" when it is not read.
QString parsed(const QString &text)
{
    const std::optional<ParsedJdbcURL> url = JdbcURLParser::parse(text);
    if (!url)
        return u"none"_s;
    QString out = rawValue(url->type) + u' ' + url->host + u':' + QString::number(url->port) +
                  u'/' + url->database;
    if (url->username)
        out += u" user=" + *url->username;
    if (url->password)
        out += u" password=" + *url->password;
    return out;
}

} // namespace

TEST(JdbcURLParser, ParsesBothForms)
{
    const std::pair<const char *, const char *> cases[] = {
        // PostgreSQL: host, port, database and a query of properties.
        {" \tJDBC:PostgreSQL://DbHost:6543/SalesDB\n", "postgres DbHost:6543/SalesDB"},
        {"jdbc:postgresql://", "postgres localhost:5432/"},
        {"jdbc:postgresql://:5433/db", "postgres localhost:5433/db"},
        {"jdbc:postgresql://h:/db", "postgres h:5432/db"},
        {"jdbc:postgresql://h:5x/db", "postgres h:5432/db"},
        {"jdbc:postgresql://h:99999999999999999999", "postgres h:5432/"},
        {"jdbc:postgresql://h/a/b?c", "postgres h:5432/a/b"},
        {"jdbc:postgresql://h/db?user=al%20ice&password=p%40ss%E2%82%AC&ssl=true",
         "postgres h:5432/db user=al ice password=p@ss€"},
        {"jdbc:postgresql://h/db?user&password=&=x", "postgres h:5432/db"},
        {"jdbc:postgresql://h?user=%zz&password=%FF", "postgres h:5432/ user=%zz password=%FF"},
        {"jdbc:postgresql://h?user=a&&USER=b%3D&password=x=y",
         "postgres h:5432/ user=b= password=x=y"},
        // An IPv6 address in brackets is one host, its colons no port.
        {"jdbc:postgresql://[::1]:5433/db", "postgres [::1]:5433/db"},
        {"jdbc:postgresql://[fe80::1%25eth0]/db", "postgres [fe80::1%25eth0]:5432/db"},
        {"jdbc:sqlserver://[2001:db8::7]:1500;databaseName=x", "sqlserver [2001:db8::7]:1500/x"},
        // SQL Server: host and port, then properties after semicolons, never decoded.
        {"jdbc:SQLServer://srv\\inst:1500;DatabaseName=Sales;USER=sa;encrypt=true;",
         "sqlserver srv\\inst:1500/Sales user=sa"},
        {"jdbc:sqlserver://srv:port;password=p%40ss;user=", "sqlserver srv:1433/ password=p%40ss"},
        {"jdbc:sqlserver://;databaseName=x;;user=a;user=b", "sqlserver localhost:1433/x user=b"},
        {"jdbc:sqlserver://", "none"},
        {"jdbc:sqlserver://;;;", "none"},
        // Anything else.
        {"jdbc:mysql://h/db", "none"},
        {"postgresql://h/db", "none"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(parsed(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
}

TEST(JdbcURLParser, BuildsTheAddressWithoutCredentials)
{
    DatabaseConnection c{newId(), u"Sales"_s, {}, u"DbHost"_s, 6543, {}, u"sa"_s};
    const struct {
        DatabaseType type;
        const char *database;
        const char *expected;
    } cases[] = {
        {DatabaseType::postgres, "", "jdbc:postgresql://DbHost:6543"},
        {DatabaseType::postgres, "Sales", "jdbc:postgresql://DbHost:6543/Sales"},
        {DatabaseType::sqlserver, "", "jdbc:sqlserver://DbHost:6543;"},
        {DatabaseType::sqlserver, "Sales", "jdbc:sqlserver://DbHost:6543;databaseName=Sales;"},
    };
    for (const auto &[type, database, expected] : cases) {
        c.type = type;
        c.database = QString::fromUtf8(database);
        const QString built = JdbcURLParser::build(c);
        EXPECT_EQ(built, QString::fromUtf8(expected));
        EXPECT_EQ(parsed(built), rawValue(type) + u" DbHost:6543/" + c.database) << "read back";
    }
    // an IPv6 host typed without brackets is written with them, and reads back whole
    c.host = u"::1"_s;
    c.type = DatabaseType::postgres;
    c.database = u"db"_s;
    EXPECT_EQ(JdbcURLParser::build(c), u"jdbc:postgresql://[::1]:6543/db"_s);
    EXPECT_EQ(parsed(JdbcURLParser::build(c)), u"postgres [::1]:6543/db"_s);
}
