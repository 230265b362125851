#pragma once

#include "model/Identifiers.h"

#include <QString>
#include <optional>

// Where the passwords of connection presets live: one item per preset in the system keychain,
// under the service below and an account that is the preset id's upper-case UUID text. Nothing
// here reports a failure: a password that cannot be read is no password, one that cannot be
// stored or deleted is simply left as it was. Every call returns only when it is done.
class KeychainHelper {
public:
    static inline const QString service = QStringLiteral("com.quillmark.app.dbconnection");

    virtual ~KeychainHelper() = default;

    // The account of a preset's password: the preset id as upper-case text without braces. Every
    // read, write and deletion of a preset's password names its account through this.
    static QString account(const QUuid &presetID) { return idText(presetID); }

    // The account's password; no value when there is none or it cannot be read as UTF-8 text.
    virtual std::optional<QString> password(const QString &account) const = 0;
    // Replaces the account's password: any old item is deleted, then the new one is added.
    virtual void setPassword(const QString &password, const QString &account) = 0;
    // Deletes the account's password; deleting a missing one is not an error.
    virtual void deletePassword(const QString &account) = 0;
};
