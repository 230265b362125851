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
    return LiveConnection{*it, connectionStore.password(*activeConnectionID)};
}

std::optional<LiveConnection> resolveLiveConnection(const DocumentStore &tab,
                                                    const ConnectionPresetStore &connectionStore)
{
    return resolveLiveConnection(tab.activeConnectionID(), connectionStore);
}
