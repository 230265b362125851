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
    return LiveConnection{*it, read.password.value_or(QString()), read.error};
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

QString withKeychainCause(const QString &error, const LiveConnection &liveConnection)
{
    if (!isAuthenticationFailure(error))
        return error;
    if (!liveConnection.keychainError.isEmpty())
        return error + u'\n' +
               QStringLiteral("The password could not be read from the keychain (%1), so none "
                              "was sent. Install or unlock a keyring service (Secret Service) "
                              "to keep it.")
                   .arg(liveConnection.keychainError);
    if (liveConnection.password.isEmpty() && !liveConnection.connection.username.isEmpty())
        return error + u'\n' +
               QStringLiteral("The keychain holds no password for the connection \"%1\", so "
                              "none was sent for the user \"%2\". Type it in the connection's "
                              "Edit sheet and Save.")
                   .arg(liveConnection.connection.name, liveConnection.connection.username);
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
