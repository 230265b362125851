#pragma once

#include "model/Identifiers.h"
#include "model/RawEnum.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// The database servers a preset can name. The text of a case is both its stored form and the
// connection type the engine receives.
enum class DatabaseType { postgres, sqlserver };
QUILLMARK_ENUM_TEXTS(DatabaseType, {DatabaseType::postgres, "postgres"},
                     {DatabaseType::sqlserver, "sqlserver"});

// The port a JDBC URL of that server means when it names none.
qint64 defaultPort(DatabaseType type);

// A connection preset: one database server that reports can run against. Its password is kept in
// the keychain under the preset's id, never here.
struct DatabaseConnection {
    QUuid id = newId();
    QString name;
    DatabaseType type = DatabaseType::postgres;
    QString host;
    qint64 port = 0;
    QString database;
    QString username;

    bool operator==(const DatabaseConnection &) const = default;
};

// The stored form of a preset list: a compact JSON array of objects with the keys "id", "name",
// "type", "host", "port", "database" and "username".
QByteArray encodeConnections(const QList<DatabaseConnection> &connections);

// Reads a stored preset list. Every key is required and must hold a value of its kind (the id a
// UUID text, the type one of the case texts, the port a whole number); other keys are ignored.
// One entry that does not read makes the whole list unreadable: no value.
std::optional<QList<DatabaseConnection>> decodeConnections(const QByteArray &json);
