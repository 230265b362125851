#pragma once

#include "KeychainHelper.h"

#include <QHash>

// A keychain that lives and dies with the object: for tests, and wherever passwords must not
// reach the system keychain.
class InMemoryKeychain final : public KeychainHelper {
public:
    std::optional<QString> password(const QString &account) const override;
    void setPassword(const QString &password, const QString &account) override;
    void deletePassword(const QString &account) override;

    // Every account that holds a password.
    QStringList accounts() const { return m_passwords.keys(); }

private:
    QHash<QString, QString> m_passwords;
};
