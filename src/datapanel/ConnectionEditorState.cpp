#include "datapanel/ConnectionEditorState.h"

#include "document/DocumentStore.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/JdbcURLParser.h"
#include "model/FreshName.h"

using namespace Qt::StringLiterals;

QString databaseTypeTitle(DatabaseType type)
{
    switch (type) {
    case DatabaseType::postgres:
        return u"PostgreSQL"_s;
    case DatabaseType::sqlserver:
        return u"SQL Server"_s;
    }
    return {};
}

QString connectionDetail(const DatabaseConnection &connection)
{
    return databaseTypeTitle(connection.type) + u" - "_s + connection.host + u':' +
           QString::number(connection.port) + u'/' + connection.database;
}

ConnectionEditorState::ConnectionEditorState(QObject *parent)
    : QObject(parent), connection_(blankPreset())
{
}

DatabaseConnection ConnectionEditorState::blankPreset()
{
    DatabaseConnection preset;
    preset.type = DatabaseType::postgres;
    preset.host = u"localhost"_s;
    preset.port = defaultPort(DatabaseType::postgres);
    return preset;
}

template <typename T> void ConnectionEditorState::assign(T &member, const T &value)
{
    if (member == value)
        return;
    member = value;
    emit changed();
}

void ConnectionEditorState::setConnection(const DatabaseConnection &connection)
{
    assign(connection_, connection);
}

void ConnectionEditorState::setPassword(const QString &password)
{
    assign(password_, password);
}

void ConnectionEditorState::setUrlText(const QString &text)
{
    assign(urlText_, text);
}

void ConnectionEditorState::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    if (!visible)
        delete session_.data();
    emit visibleChanged(visible);
}

void ConnectionEditorState::open(const DatabaseConnection &connection, const QString &password,
                                 bool isNew, const QString &urlText,
                                 const std::optional<QString> &keychainMessage)
{
    connection_ = connection;
    password_ = password;
    isNew_ = isNew;
    inputMode_ = ConnectionInputMode::fields;
    urlText_ = urlText;
    urlParseMessage_.reset();
    keychainMessage_ = keychainMessage;
    emit changed();
    // A new opening never inherits the work of an earlier one.
    delete session_.data();
    session_ = new QObject(this);
    setVisible(true);
}

void ConnectionEditorState::startAdding(const QSet<QString> &taken)
{
    DatabaseConnection preset = blankPreset();
    // "New Connection", or the first of "New Connection 2", "3" … that no preset has.
    preset.name = taken.contains(newPresetName)
                      ? firstFreeName(newPresetName + QLatin1Char(' '), taken, 2)
                      : newPresetName;
    open(preset, QString(), true, QString());
}

void ConnectionEditorState::startEditing(const DatabaseConnection &preset, const QString &password,
                                         const QString &keychainError)
{
    open(preset, password, false, JdbcURLParser::build(preset),
         keychainError.isEmpty() ? std::nullopt
                                 : std::optional(keychainReadMessage(keychainError)));
}

QString ConnectionEditorState::keychainReadMessage(const QString &reason)
{
    return u"The stored password could not be read: "_s + reason + u". "_s + keyringAdvice;
}

void ConnectionEditorState::chooseInputMode(ConnectionInputMode mode)
{
    if (mode == ConnectionInputMode::url) {
        urlText_ = JdbcURLParser::build(connection_);
        urlParseMessage_.reset();
    }
    inputMode_ = mode;
    emit changed();
}

void ConnectionEditorState::applyURL()
{
    const std::optional<ParsedJdbcURL> parsed = JdbcURLParser::parse(urlText_);
    if (!parsed) {
        urlParseMessage_ = unparsedMessage;
        emit changed();
        return;
    }
    connection_.type = parsed->type;
    connection_.host = parsed->host;
    connection_.port = parsed->port;
    connection_.database = parsed->database;
    if (parsed->username)
        connection_.username = *parsed->username;
    if (parsed->password)
        password_ = *parsed->password;
    urlParseMessage_ = parsedMessage;
    emit changed();
}

void ConnectionEditorState::save(ConnectionPresetStore &connections,
                                 const QPointer<DocumentStore> &store)
{
    // The keychain may keep this waiting in a local event loop, in which the panel (and this
    // state) or the report may go: work on copies and look again afterwards.
    const QPointer<ConnectionEditorState> self(this);
    const DatabaseConnection connection = connection_;
    const QString password = password_;
    if (!isNew_) {
        connections.update(connection,
                           password.isEmpty() ? std::nullopt : std::optional<QString>(password));
    } else {
        connections.add(connection, password);
        if (store)
            store->setActiveConnectionID(connection.id);
    }
    // A password the keychain refused is kept for the session; the connections list says so.
    if (self)
        setVisible(false);
}
