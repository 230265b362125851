#pragma once

#include "model/Identifiers.h"

#include <QString>
#include <optional>

// Where the passwords of connection presets live: one item per preset in the system keychain,
// under the service below and an account that is the preset id's upper-case UUID text. A read or
// a write that the keychain refuses (no keyring service running, a locked keyring) says why, so
// that whoever acts on it can tell the user; a password that cannot be deleted is simply left
// as it was. Every call returns only when it is done, or when the wait for the keyring ended
// without an answer (KeychainWait).
class KeychainHelper {
public:
    static inline const QString service = QStringLiteral("com.quillmark.app.dbconnection");

    // Why the keychain gave no password.
    enum class Failure {
        // It answered: with the password, or with none stored. A keyring whose unlock prompt
        // is cancelled answers so too, on the Secret Service: the two cannot be told apart.
        none,
        // The keyring is locked, or refused access for a reason of its own.
        locked,
        // The user denied access.
        denied,
        // No keyring service answered.
        noService,
        // The keyring did not answer in time (its unlock prompt still waits, maybe unseen).
        noAnswer,
        // The user called off the wait for the keyring, or the application is quitting: the
        // work that asked for the password goes no further.
        cancelled,
        other,
    };

    // What a read found: the password (no value when none is stored or it cannot be read as
    // UTF-8 text), or the keychain's reason when it could not be read at all.
    struct Read {
        std::optional<QString> password;
        QString error; // empty unless the keychain failed
        Failure failure = Failure::none;
        bool operator==(const Read &) const = default;
    };

    virtual ~KeychainHelper() = default;

    // The account of a preset's password: the preset id as upper-case text without braces. Every
    // read, write and deletion of a preset's password names its account through this.
    static QString account(const QUuid &presetID) { return idText(presetID); }

    virtual Read readPassword(const QString &account) const = 0;
    // The account's password; no value when there is none or it cannot be read.
    std::optional<QString> password(const QString &account) const
    {
        return readPassword(account).password;
    }
    // Replaces the account's password; an old one stays when the new one cannot be stored.
    // Returns the keychain's reason when it could not be stored, empty text when it was.
    virtual QString setPassword(const QString &password, const QString &account) = 0;
    // Deletes the account's password; deleting a missing one is not an error.
    virtual void deletePassword(const QString &account) = 0;
};
