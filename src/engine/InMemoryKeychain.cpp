#include "InMemoryKeychain.h"

std::optional<QString> InMemoryKeychain::password(const QString &account) const
{
    const auto it = m_passwords.constFind(account);
    if (it == m_passwords.constEnd())
        return std::nullopt;
    return *it;
}

void InMemoryKeychain::setPassword(const QString &password, const QString &account)
{
    m_passwords.insert(account, password);
}

void InMemoryKeychain::deletePassword(const QString &account)
{
    m_passwords.remove(account);
}
