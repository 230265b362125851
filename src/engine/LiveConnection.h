#pragma once

#include "DatabaseConnection.h"
#include "KeychainHelper.h"

#include <optional>

class ConnectionPresetStore;
class DocumentStore;

// A preset together with its password, as a run against a live database needs it.
struct LiveConnection {
    DatabaseConnection connection;
    QString password;
    // Why the keychain could not give the password (it is then empty); empty when it could.
    QString keychainError;
    KeychainHelper::Failure keychainFailure = KeychainHelper::Failure::none;
    bool operator==(const LiveConnection &) const = default;
};

// Whether the wait for the connection's password was called off (by the user, or by the
// application's quit): the work that asked for it goes no further.
bool calledOff(const std::optional<LiveConnection> &liveConnection);

// Whether an engine error is the database refusing the login (a wrong or missing password, an
// unknown user), as PostgreSQL and SQL Server word it.
bool isAuthenticationFailure(const QString &error);

// The failure of a run whose password came from the keychain. When the database refused the
// login, the keychain is named as its cause, with the ways out: when it could not give the
// password (saying why: a locked keyring, access denied, no keyring service), or when no password
// came from it for a preset that has a user (none is stored, or the keyring stayed locked: a
// cancelled unlock prompt reads as no password). Any other failure is left as it is.
QString withKeychainCause(const QString &error, const LiveConnection &liveConnection);
std::optional<QString> withKeychainCause(const std::optional<QString> &error,
                                         const std::optional<LiveConnection> &liveConnection);

// The preset a report tab has chosen, with its keychain password (empty when none is stored). No
// value when the tab has chosen no preset or the chosen one has been removed since; the run then
// goes ahead without a live connection.
std::optional<LiveConnection> resolveLiveConnection(const std::optional<QUuid> &activeConnectionID,
                                                    const ConnectionPresetStore &connectionStore);

// The same for the connection a report tab has chosen.
std::optional<LiveConnection> resolveLiveConnection(const DocumentStore &tab,
                                                    const ConnectionPresetStore &connectionStore);
