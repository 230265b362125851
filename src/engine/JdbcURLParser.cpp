#include "JdbcURLParser.h"

#include "StrictUtf8.h"

#include <limits>

namespace {

const QString postgresPrefix = QStringLiteral("jdbc:postgresql://");
const QString sqlServerPrefix = QStringLiteral("jdbc:sqlserver://");

enum class EmptyPieces { keep, drop };

// Splits at the separator, at most maxSplits times (no limit when negative). Dropped empty pieces
// do not count as splits, so "=user=x" split once at "=" with empty pieces dropped gives "user"
// and "x".
QList<QStringView> split(QStringView text, QChar separator, int maxSplits, EmptyPieces empty)
{
    QList<QStringView> pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != separator)
            continue;
        if (maxSplits >= 0 && pieces.size() == maxSplits)
            break;
        if (i > start || empty == EmptyPieces::keep)
            pieces.append(text.mid(start, i - start));
        start = i + 1;
    }
    if (start < text.size() || empty == EmptyPieces::keep)
        pieces.append(text.mid(start));
    return pieces;
}

// A decimal integer with at most one leading sign and nothing else; no value when it does not
// fit 64 bits.
std::optional<qint64> parseInteger(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Accumulates negatively so that the most negative value fits as well.
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (value < (std::numeric_limits<qint64>::min() + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    if (value == std::numeric_limits<qint64>::min())
        return std::nullopt;
    return -value;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes %XX escapes as UTF-8; no value for a malformed escape or bytes that are not UTF-8.
std::optional<QString> percentDecoded(QStringView text)
{
    const QByteArray raw = text.toUtf8();
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            bytes.append(raw[i]);
            continue;
        }
        const int high = i + 2 < raw.size() ? hexDigit(raw[i + 1]) : -1;
        const int low = i + 2 < raw.size() ? hexDigit(raw[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
        i += 2;
    }
    return strictUtf8(bytes);
}

// The host and port before the database or the properties. An empty host means "localhost", so
// ":5433" is port 5433 on the local machine; a missing or malformed port means the default. An
// IPv6 address stands in brackets, "[::1]:5432", and is kept whole with them.
void readHostAndPort(QStringView text, ParsedJdbcURL &url)
{
    QStringView host = text;
    QStringView rest;
    if (text.startsWith(u'[') && text.indexOf(u']') > 0) {
        const qsizetype close = text.indexOf(u']');
        host = text.left(close + 1);
        rest = text.mid(close + 1);
        rest = rest.startsWith(u':') ? rest.mid(1) : QStringView();
    } else {
        const QList<QStringView> parts = split(text, u':', 1, EmptyPieces::keep);
        host = parts[0];
        rest = parts.size() > 1 ? parts[1] : QStringView();
    }
    url.host = host.isEmpty() ? QStringLiteral("localhost") : host.toString();
    const auto port = rest.isEmpty() ? std::nullopt : parseInteger(rest);
    url.port = port.value_or(defaultPort(url.type));
}

// Applies one "key=value" property; a piece without a key and a value is skipped. Keys are
// compared ignoring case; a later property replaces an earlier one.
void readProperty(QStringView piece, ParsedJdbcURL &url, bool decodeValue)
{
    const QList<QStringView> parts = split(piece, u'=', 1, EmptyPieces::drop);
    if (parts.size() != 2)
        return;
    const QString key = parts[0].toString().toLower();
    const QString value =
        decodeValue ? percentDecoded(parts[1]).value_or(parts[1].toString()) : parts[1].toString();
    if (key == u"user")
        url.username = value;
    else if (key == u"password")
        url.password = value;
    else if (key == u"databasename" && url.type == DatabaseType::sqlserver)
        url.database = value;
}

} // namespace

std::optional<ParsedJdbcURL> JdbcURLParser::parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QString head = trimmed.left(postgresPrefix.size()).toLower();
    if (head.startsWith(postgresPrefix))
        return parsePostgres(trimmed);
    if (head.startsWith(sqlServerPrefix))
        return parseSqlServer(trimmed);
    return std::nullopt;
}

ParsedJdbcURL JdbcURLParser::parsePostgres(const QString &url)
{
    ParsedJdbcURL parsed;
    parsed.type = DatabaseType::postgres;
    QStringView body = QStringView(url).mid(postgresPrefix.size());
    QStringView query;
    if (const qsizetype mark = body.indexOf(u'?'); mark >= 0) {
        query = body.mid(mark + 1);
        body = body.left(mark);
    }
    const QList<QStringView> pieces = split(body, u'/', 1, EmptyPieces::keep);
    if (pieces.size() > 1)
        parsed.database = pieces[1].toString();
    readHostAndPort(pieces[0], parsed);
    for (QStringView property : split(query, u'&', -1, EmptyPieces::drop))
        readProperty(property, parsed, true);
    return parsed;
}

std::optional<ParsedJdbcURL> JdbcURLParser::parseSqlServer(const QString &url)
{
    const QStringView body = QStringView(url).mid(sqlServerPrefix.size());
    const QList<QStringView> pieces = split(body, u';', -1, EmptyPieces::keep);
    if (std::all_of(pieces.cbegin(), pieces.cend(), [](QStringView p) { return p.isEmpty(); }))
        return std::nullopt;
    ParsedJdbcURL parsed;
    parsed.type = DatabaseType::sqlserver;
    // The address is whatever stands before the first ";", even nothing: in ";databaseName=x"
    // the server is the local one, not one named "databaseName=x".
    readHostAndPort(pieces[0], parsed);
    for (qsizetype i = 1; i < pieces.size(); ++i)
        readProperty(pieces[i], parsed, false);
    return parsed;
}

QString JdbcURLParser::build(const DatabaseConnection &connection)
{
    // an IPv6 address goes in brackets, so its colons are not taken for the port's
    const bool bare = connection.host.contains(u':') && !connection.host.startsWith(u'[');
    const QString host = bare ? u'[' + connection.host + u']' : connection.host;
    const QString address = host + u':' + QString::number(connection.port);
    switch (connection.type) {
    case DatabaseType::postgres:
        return postgresPrefix + address +
               (connection.database.isEmpty() ? QString() : u'/' + connection.database);
    case DatabaseType::sqlserver:
        return sqlServerPrefix + address + u';' +
               (connection.database.isEmpty() ? QString()
                                              : u"databaseName=" + connection.database + u';');
    }
    return {};
}
