#include "InMemoryKeychain.h"

KeychainHelper::Read InMemoryKeychain::readPassword(const QString &account) const
{
    if (!m_unavailable.isEmpty())
        return {std::nullopt, m_unavailable, m_failure};
    const auto it = m_passwords.constFind(account);
    if (it == m_passwords.constEnd())
        return {};
    return {*it, {}};
}

QString InMemoryKeychain::setPassword(const QString &password, const QString &account)
{
    if (!m_unavailable.isEmpty())
        return m_unavailable;
    m_passwords.insert(account, password);
    return {};
}

void InMemoryKeychain::deletePassword(const QString &account)
{
    if (m_unavailable.isEmpty())
        m_passwords.remove(account);
}
