#pragma once

#include "KeychainHelper.h"

#include <QHash>

// A keychain that lives and dies with the object: for tests, and wherever passwords must not
// reach the system keychain. Made unavailable, it refuses every read and write with a reason, as
// the system keychain does without a keyring service.
class InMemoryKeychain final : public KeychainHelper {
public:
    Read readPassword(const QString &account) const override;
    QString setPassword(const QString &password, const QString &account) override;
    void deletePassword(const QString &account) override;

    // Every account that holds a password.
    QStringList accounts() const { return m_passwords.keys(); }
    // From now on every read and write fails with `reason`, a read as `failure`; an empty
    // reason ends that.
    void setUnavailable(const QString &reason, Failure failure = Failure::noService)
    {
        m_unavailable = reason;
        m_failure = failure;
    }

private:
    QHash<QString, QString> m_passwords;
    QString m_unavailable;
    Failure m_failure = Failure::noService;
};
