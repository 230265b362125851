#include "LiveConnection.h"

#include "ConnectionPresetStore.h"
#include "document/DocumentStore.h"

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

QString withKeychainCause(const QString &error, const QString &keychainError)
{
    if (keychainError.isEmpty())
        return error;
    return error + u'\n' +
           QStringLiteral("The password could not be read from the keychain (%1), so none was "
                          "sent. Install or unlock a keyring service (Secret Service) to keep it.")
               .arg(keychainError);
}

std::optional<QString> withKeychainCause(const std::optional<QString> &error,
                                         const std::optional<LiveConnection> &liveConnection)
{
    if (!error || !liveConnection)
        return error;
    return withKeychainCause(*error, liveConnection->keychainError);
}

std::optional<LiveConnection> resolveLiveConnection(const DocumentStore &tab,
                                                    const ConnectionPresetStore &connectionStore)
{
    return resolveLiveConnection(tab.activeConnectionID(), connectionStore);
}
