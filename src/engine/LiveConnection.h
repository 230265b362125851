#pragma once

#include "DatabaseConnection.h"

#include <optional>

class ConnectionPresetStore;
class DocumentStore;

// A preset together with its password, as a run against a live database needs it.
struct LiveConnection {
    DatabaseConnection connection;
    QString password;
    bool operator==(const LiveConnection &) const = default;
};

// The preset a report tab has chosen, with its keychain password (empty when none is stored). No
// value when the tab has chosen no preset or the chosen one has been removed since; the run then
// goes ahead without a live connection.
std::optional<LiveConnection> resolveLiveConnection(const std::optional<QUuid> &activeConnectionID,
                                                    const ConnectionPresetStore &connectionStore);

// The same for the connection a report tab has chosen.
std::optional<LiveConnection> resolveLiveConnection(const DocumentStore &tab,
                                                    const ConnectionPresetStore &connectionStore);
