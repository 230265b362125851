#pragma once

#include "KeychainHelper.h"
#include "KeychainWait.h"

#include <QHash>
#include <QList>
#include <functional>

// A keychain that lives and dies with the object: for tests, and wherever passwords must not
// reach the system keychain. Made unavailable, it refuses every read and write with a reason, as
// the system keychain does without a keyring service. Holding its answers, it keeps every read
// and write waiting as a keyring does that waits for its unlock prompt.
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

    // From now on every read and write waits (KeychainWait), as for a keyring whose unlock
    // prompt nobody has answered yet, until `answer()` gives the waiting ones their answers.
    void holdAnswers() { m_held = true; }
    void answer();

private:
    // Waits while the answers are held; how the wait ended.
    KeychainWait::End waitForAnswer() const;

    QHash<QString, QString> m_passwords;
    bool m_held = false;
    mutable QList<std::function<void()>> m_waiting;
    QString m_unavailable;
    Failure m_failure = Failure::noService;
};
