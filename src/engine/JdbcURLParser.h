#pragma once

#include "DatabaseConnection.h"

#include <optional>

// What a pasted JDBC URL says about a connection.
struct ParsedJdbcURL {
    DatabaseType type = DatabaseType::postgres;
    QString host;
    qint64 port = 0;
    QString database;
    std::optional<QString> username;
    std::optional<QString> password;
    bool operator==(const ParsedJdbcURL &) const = default;
};

// Reads and writes the two JDBC URL forms the connection editor accepts:
//   jdbc:postgresql://host:port/database?user=...&password=...
//   jdbc:sqlserver://host:port;databaseName=...;user=...;password=...
// A missing host reads as "localhost", a missing or malformed port as the server's default.
class JdbcURLParser {
public:
    // No value for text with neither prefix (compared ignoring case, after trimming white space)
    // and for a SQL Server URL with nothing after its prefix.
    static std::optional<ParsedJdbcURL> parse(const QString &text);
    // The preset's address as a URL; credentials are never written and nothing is escaped.
    static QString build(const DatabaseConnection &connection);

private:
    static ParsedJdbcURL parsePostgres(const QString &url);
    static std::optional<ParsedJdbcURL> parseSqlServer(const QString &url);
};
