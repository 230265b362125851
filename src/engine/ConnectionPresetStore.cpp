#include "ConnectionPresetStore.h"

#include "KeychainHelper.h"

#include <QSettings>

ConnectionPresetStore::ConnectionPresetStore(QSettings &settings, KeychainHelper &keychain,
                                             QObject *parent)
    : QObject(parent), m_settings(settings), m_keychain(keychain)
{
    load();
}

void ConnectionPresetStore::load()
{
    if (!m_settings.contains(settingsKey))
        return;
    const QVariant stored = m_settings.value(settingsKey);
    if (auto connections = decodeConnections(stored.toByteArray())) {
        m_connections = std::move(*connections);
        persist();
        return;
    }
    // The store starts empty and the next change replaces the stored value; keep a copy of it,
    // whatever it holds, so that the presets it may still contain are not lost for good.
    m_settings.setValue(unreadableSettingsKey, stored);
    m_settings.sync();
}

void ConnectionPresetStore::persist()
{
    m_settings.setValue(settingsKey, encodeConnections(m_connections));
    m_settings.sync();
}

QString ConnectionPresetStore::password(const QUuid &id) const
{
    return readPassword(id).password.value_or(QString());
}

KeychainHelper::Read ConnectionPresetStore::readPassword(const QUuid &id) const
{
    if (const auto kept = m_sessionPasswords.constFind(id); kept != m_sessionPasswords.cend())
        return {kept->password, {}};
    return m_keychain.readPassword(KeychainHelper::account(id));
}

QString ConnectionPresetStore::setPassword(const QUuid &id, const QString &password)
{
    if (password.isEmpty())
        return {};
    const QString error = m_keychain.setPassword(password, KeychainHelper::account(id));
    if (error.isEmpty()) {
        if (m_sessionPasswords.remove(id))
            emit sessionPasswordsChanged();
    } else {
        m_sessionPasswords.insert(id, {password, error});
        emit sessionPasswordsChanged();
    }
    return error;
}

std::optional<QString> ConnectionPresetStore::sessionOnlyReason(const QUuid &id) const
{
    if (const auto kept = m_sessionPasswords.constFind(id); kept != m_sessionPasswords.cend())
        return kept->reason;
    return std::nullopt;
}

QString ConnectionPresetStore::sessionOnlyNote(const QString &reason)
{
    return QStringLiteral("The keychain did not keep the password (%1). It is kept until "
                          "Quillmark quits and has to be typed again after a restart; install or "
                          "unlock a keyring service (Secret Service) to keep it.")
        .arg(reason);
}

QString ConnectionPresetStore::add(const DatabaseConnection &connection, const QString &password)
{
    m_connections.append(connection);
    persist();
    const QString error = setPassword(connection.id, password);
    emit connectionsChanged();
    return error;
}

QString ConnectionPresetStore::update(const DatabaseConnection &connection,
                                      const std::optional<QString> &password)
{
    const auto it =
        std::find_if(m_connections.begin(), m_connections.end(),
                     [&](const DatabaseConnection &c) { return c.id == connection.id; });
    if (it == m_connections.end())
        return {};
    *it = connection;
    persist();
    const QString error = password ? setPassword(connection.id, *password) : QString();
    emit connectionsChanged();
    return error;
}

void ConnectionPresetStore::remove(const QUuid &id)
{
    const qsizetype removed =
        m_connections.removeIf([&](const DatabaseConnection &c) { return c.id == id; });
    persist();
    if (m_sessionPasswords.remove(id))
        emit sessionPasswordsChanged();
    m_keychain.deletePassword(KeychainHelper::account(id));
    if (removed > 0)
        emit connectionsChanged();
}
