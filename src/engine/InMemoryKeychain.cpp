#include "InMemoryKeychain.h"

KeychainWait::End InMemoryKeychain::waitForAnswer() const
{
    if (!m_held)
        return KeychainWait::End::answered;
    return KeychainWait::run(
        [this](std::function<void()> answered) { m_waiting.append(std::move(answered)); });
}

void InMemoryKeychain::answer()
{
    m_held = false;
    for (const std::function<void()> &answered : std::exchange(m_waiting, {}))
        answered();
}

KeychainHelper::Read InMemoryKeychain::readPassword(const QString &account) const
{
    if (const KeychainWait::End end = waitForAnswer(); end != KeychainWait::End::answered)
        return KeychainWait::unanswered(end);
    if (!m_unavailable.isEmpty())
        return {std::nullopt, m_unavailable, m_failure};
    const auto it = m_passwords.constFind(account);
    if (it == m_passwords.constEnd())
        return {};
    return {*it, {}};
}

QString InMemoryKeychain::setPassword(const QString &password, const QString &account)
{
    if (const KeychainWait::End end = waitForAnswer(); end != KeychainWait::End::answered)
        return KeychainWait::unanswered(end).error;
    if (!m_unavailable.isEmpty())
        return m_unavailable;
    m_passwords.insert(account, password);
    return {};
}

void InMemoryKeychain::deletePassword(const QString &account)
{
    if (waitForAnswer() != KeychainWait::End::answered)
        return;
    if (m_unavailable.isEmpty())
        m_passwords.remove(account);
}
