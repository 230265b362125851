#include "LiveConnection.h"

#include "ConnectionPresetStore.h"
#include "document/DocumentStore.h"

#include <QRegularExpression>

std::optional<LiveConnection> resolveLiveConnection(const std::optional<QUuid> &activeConnectionID,
                                                    const ConnectionPresetStore &connectionStore)
{
    if (!activeConnectionID)
        return std::nullopt;
    const QList<DatabaseConnection> &connections = connectionStore.connections();
    const auto it =
        std::find_if(connections.cbegin(), connections.cend(),
                     [&](const DatabaseConnection &c) { return c.id == *activeConnectionID; });
    if (it == connections.cend())
        return std::nullopt;
    const KeychainHelper::Read read = connectionStore.readPassword(*activeConnectionID);
    return LiveConnection{*it, read.password.value_or(QString()), read.error, read.failure};
}

bool calledOff(const std::optional<LiveConnection> &liveConnection)
{
    return liveConnection && liveConnection->keychainFailure == KeychainHelper::Failure::cancelled;
}

bool isAuthenticationFailure(const QString &error)
{
    // PostgreSQL: "password authentication failed for user", "The server requested SCRAM-based
    // authentication, but the password is an empty string", "… no password was provided";
    // SQL Server: "Login failed for user".
    static const QRegularExpression refusal(
        QStringLiteral("authentication failed|requested [A-Za-z0-9-]+ ?authentication|"
                       "no password was provided|password is an empty string|"
                       "Login failed for user|SQLState 28P01|SQLState 28000"),
        QRegularExpression::CaseInsensitiveOption);
    return refusal.match(error).hasMatch();
}

namespace {

// Both ways out of a password that did not come from the keychain, the likelier one first.
QString waysOut(KeychainHelper::Failure failure)
{
    using Failure = KeychainHelper::Failure;
    switch (failure) {
    case Failure::none:
        return QStringLiteral("Type the password in the connection's Edit sheet and Save, or "
                              "unlock the keyring and try again.");
    case Failure::noService:
        return QStringLiteral("Start a keyring service (Secret Service) and try again, or type "
                              "the password in the connection's Edit sheet and Save (without a "
                              "keyring service it is kept until Quillmark quits).");
    case Failure::denied:
        return QStringLiteral("Allow Quillmark to use the keychain and try again, or type the "
                              "password in the connection's Edit sheet and Save.");
    case Failure::noAnswer:
    case Failure::cancelled:
        return QStringLiteral("Type the password in the connection's Edit sheet and Save, or "
                              "answer the keyring's unlock prompt (it may be behind a window or "
                              "on another screen) and try again.");
    case Failure::locked:
    case Failure::other:
        break;
    }
    return QStringLiteral("Unlock the keyring and try again, or type the password in the "
                          "connection's Edit sheet and Save.");
}

// What the keychain did, as the first words of the cause.
QString whatHappened(const LiveConnection &live)
{
    using Failure = KeychainHelper::Failure;
    switch (live.keychainFailure) {
    case Failure::locked:
        return QStringLiteral("The keyring is locked or refused access (%1)")
            .arg(live.keychainError);
    case Failure::denied:
        return QStringLiteral("Access to the keychain was denied (%1)").arg(live.keychainError);
    case Failure::noService:
        return QStringLiteral("No keyring service answered (%1)").arg(live.keychainError);
    case Failure::none:
    case Failure::noAnswer:
    case Failure::cancelled:
    case Failure::other:
        break;
    }
    return QStringLiteral("The keychain could not give the password (%1)").arg(live.keychainError);
}

} // namespace

QString withKeychainCause(const QString &error, const LiveConnection &liveConnection)
{
    if (!isAuthenticationFailure(error))
        return error;
    const DatabaseConnection &connection = liveConnection.connection;
    if (!liveConnection.keychainError.isEmpty())
        return error + u'\n' + whatHappened(liveConnection) +
               QStringLiteral(", so no password came from it for the connection \"%1\" and none "
                              "was sent. ")
                   .arg(connection.name) +
               waysOut(liveConnection.keychainFailure);
    if (liveConnection.password.isEmpty() && !connection.username.isEmpty())
        return error + u'\n' +
               QStringLiteral("No password came from the keychain for the connection \"%1\" "
                              "(none is stored for it, or the keyring stayed locked), so none was "
                              "sent for the user \"%2\". ")
                   .arg(connection.name, connection.username) +
               waysOut(KeychainHelper::Failure::none);
    if (!liveConnection.password.isEmpty())
        return error + u'\n' +
               QStringLiteral("The database server refused the user name and password stored "
                              "for the connection \"%1\" (user \"%2\"). Type the right ones in "
                              "the connection's Edit sheet and Save, then try again.")
                   .arg(connection.name, connection.username);
    return error;
}

std::optional<QString> withKeychainCause(const std::optional<QString> &error,
                                         const std::optional<LiveConnection> &liveConnection)
{
    if (!error || !liveConnection)
        return error;
    return withKeychainCause(*error, *liveConnection);
}

std::optional<LiveConnection> resolveLiveConnection(const DocumentStore &tab,
                                                    const ConnectionPresetStore &connectionStore)
{
    return resolveLiveConnection(tab.activeConnectionID(), connectionStore);
}
