#pragma once

#include "DatabaseConnection.h"
#include "KeychainHelper.h"

#include <QHash>
#include <QObject>

class QSettings;

// The application's connection presets, in the order they were added, kept in the settings under
// "databaseConnections" as one JSON array. Each change writes the whole list at once. Passwords
// go to the keychain, one item per preset under the preset id's text, never to the settings.
class ConnectionPresetStore : public QObject {
    Q_OBJECT

public:
    static inline const QString settingsKey = QStringLiteral("databaseConnections");
    // Where stored presets that could not be read are copied before anything can replace them.
    static inline const QString unreadableSettingsKey =
        QStringLiteral("databaseConnections.unreadable");

    // Reads the stored presets. A list that reads is written back at once; one that does not
    // leaves the store empty, and its bytes are first copied under unreadableSettingsKey. Both
    // objects must outlive the store.
    ConnectionPresetStore(QSettings &settings, KeychainHelper &keychain, QObject *parent = nullptr);

    const QList<DatabaseConnection> &connections() const { return m_connections; }
    KeychainHelper &keychain() const { return m_keychain; }

    // The preset's stored password; empty when none is stored or it cannot be read.
    QString password(const QUuid &id) const;
    // The same, with the keychain's reason when it could not be read. A password kept for this
    // session only (below) is given without asking the keychain.
    KeychainHelper::Read readPassword(const QUuid &id) const;
    // Stores a password for the preset id (also for a preset not yet added); an empty one
    // stores nothing. Returns the keychain's reason when it could not be stored, else empty text;
    // such a password is kept in memory, never on disk, until the program ends.
    QString setPassword(const QUuid &id, const QString &password);
    // Why the preset's password is kept for this session only (the keychain's reason); no value
    // when the keychain keeps it or there is none.
    std::optional<QString> sessionOnlyReason(const QUuid &id) const;
    // What the connections list says under such a preset.
    static QString sessionOnlyNote(const QString &reason);

    // Appends the preset; a non-empty password is stored for it. The preset is kept also when
    // its password is not: the keychain's reason is returned then, else empty text.
    QString add(const DatabaseConnection &connection, const QString &password);
    // Replaces the first preset with the same id; a given non-empty password replaces the stored
    // one, none or an empty one keeps it. A preset whose id is not in the list changes nothing.
    // Returns the keychain's reason when the password could not be stored, else empty text.
    QString update(const DatabaseConnection &connection, const std::optional<QString> &password);
    // Removes every preset with that id and deletes its password; the list is written again and
    // the password deleted even when no preset had that id.
    void remove(const QUuid &id);

signals:
    void connectionsChanged();
    // A password came to be kept for the session only, or stopped being so.
    void sessionPasswordsChanged();

private:
    void load();
    void persist();

    QSettings &m_settings;
    KeychainHelper &m_keychain;
    QList<DatabaseConnection> m_connections;
    // The passwords the keychain refused, with its reason, by preset id.
    struct SessionPassword {
        QString password;
        QString reason;
    };
    QHash<QUuid, SessionPassword> m_sessionPasswords;
};
