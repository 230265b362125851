#include "DatabaseConnection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QString idKey = QStringLiteral("id");
const QString nameKey = QStringLiteral("name");
const QString typeKey = QStringLiteral("type");
const QString hostKey = QStringLiteral("host");
const QString portKey = QStringLiteral("port");
const QString databaseKey = QStringLiteral("database");
const QString usernameKey = QStringLiteral("username");

// A UUID in its standard form: 8-4-4-4-12 hexadecimal digits of either case, without braces.
std::optional<QUuid> uuidFromText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

std::optional<QString> stringValue(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> wholeNumberValue(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return std::nullopt;
    // toInteger gives its fallback for a fraction or a value beyond 64 bits; two different
    // fallbacks tell that apart from a stored number that happens to equal one of them.
    const qint64 a = value.toInteger(0);
    const qint64 b = value.toInteger(1);
    if (a != b)
        return std::nullopt;
    return a;
}

std::optional<DatabaseConnection> decodeConnection(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto idText = stringValue(object, idKey);
    const auto name = stringValue(object, nameKey);
    const auto typeText = stringValue(object, typeKey);
    const auto host = stringValue(object, hostKey);
    const auto port = wholeNumberValue(object, portKey);
    const auto database = stringValue(object, databaseKey);
    const auto username = stringValue(object, usernameKey);
    if (!idText || !name || !typeText || !host || !port || !database || !username)
        return std::nullopt;
    const auto id = uuidFromText(*idText);
    const auto type = enumFromRaw<DatabaseType>(*typeText);
    if (!id || !type)
        return std::nullopt;
    return DatabaseConnection{*id, *name, *type, *host, *port, *database, *username};
}

} // namespace

qint64 defaultPort(DatabaseType type)
{
    switch (type) {
    case DatabaseType::postgres:
        return 5432;
    case DatabaseType::sqlserver:
        return 1433;
    }
    return 0;
}

QByteArray encodeConnections(const QList<DatabaseConnection> &connections)
{
    QJsonArray array;
    for (const DatabaseConnection &connection : connections) {
        array.append(QJsonObject{{idKey, idText(connection.id)},
                                 {nameKey, connection.name},
                                 {typeKey, rawValue(connection.type)},
                                 {hostKey, connection.host},
                                 {portKey, connection.port},
                                 {databaseKey, connection.database},
                                 {usernameKey, connection.username}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<DatabaseConnection>> decodeConnections(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<DatabaseConnection> connections;
    const QJsonArray array = document.array();
    for (const QJsonValue &value : array) {
        auto connection = decodeConnection(value);
        if (!connection)
            return std::nullopt;
        connections.append(std::move(*connection));
    }
    return connections;
}
