#pragma once

#include "engine/DatabaseConnection.h"
#include "model/RawEnum.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <optional>

class ConnectionPresetStore;
class DocumentStore;

// How the connection editor takes the preset's address: field by field or from a JDBC URL.
enum class ConnectionInputMode { fields, url };
QUILLMARK_ENUM_TEXTS(ConnectionInputMode, {ConnectionInputMode::fields, "Fields"},
                     {ConnectionInputMode::url, "URL"});

// The text a database type is shown as: "PostgreSQL" or "SQL Server".
QString databaseTypeTitle(DatabaseType type);
// A preset's detail line: the type, host, port (plain digits) and database, e.g.
// "PostgreSQL - localhost:5432/sales"; the "/" stays when the database is empty.
QString connectionDetail(const DatabaseConnection &connection);

// The connection editor sheet's state, owned by the data panel. The editor works on a copy of a
// preset and its password; the stored preset changes only on save(). The state is not reset when
// the sheet closes: startAdding() and startEditing() set every property before showing it.
//
// Each opening of the sheet has a session object that lives until the sheet closes; work the
// editor starts (a connection test) takes it as its context, so an answer that arrives after
// the sheet closed, or after it was opened again, finds no session and is dropped.
class ConnectionEditorState : public QObject {
    Q_OBJECT

public:
    static inline const QString newPresetName = QStringLiteral("New Connection");
    static inline const QString parsedMessage =
        QStringLiteral("Parsed - Host/Port/Database updated below (and Username/Password too, "
                       "if the URL included them).");
    static inline const QString unparsedMessage =
        QStringLiteral("Doesn't look like a jdbc:postgresql:// or jdbc:sqlserver:// URL.");

    static inline const QString keyringAdvice =
        QStringLiteral("Install or unlock a keyring service (Secret Service) to keep it.");
    // The editor's red line when the keychain refused to give the stored password.
    static QString keychainReadMessage(const QString &reason);

    explicit ConnectionEditorState(QObject *parent = nullptr);

    // A preset with a new id, no name, PostgreSQL on localhost:5432, no database and no user.
    static DatabaseConnection blankPreset();

    bool isVisible() const { return visible_; }
    const DatabaseConnection &connection() const { return connection_; }
    const QString &password() const { return password_; }
    bool isNew() const { return isNew_; }
    ConnectionInputMode inputMode() const { return inputMode_; }
    const QString &urlText() const { return urlText_; }
    const std::optional<QString> &urlParseMessage() const { return urlParseMessage_; }
    // Why the keychain did not give the stored password; no value when it did.
    const std::optional<QString> &keychainMessage() const { return keychainMessage_; }
    // The context of work started by this opening of the sheet; null while it is closed.
    QObject *session() const { return session_; }

    // The two-way bindings of the sheet's fields.
    void setConnection(const DatabaseConnection &connection);
    void setPassword(const QString &password);
    void setUrlText(const QString &text);
    // Hides the sheet ("Cancel" and every other dismissal); nothing is written.
    void setVisible(bool visible);

    // "Add Connection...": a new preset named "New Connection" (with the first free number from 2
    // after it when a preset in `taken` has that name), empty password, fields mode.
    void startAdding(const QSet<QString> &taken = {});
    // "Edit": a copy of the preset with its stored password, and its URL ready for URL mode;
    // `keychainError` is why the keychain could not give the password, if it could not.
    void startEditing(const DatabaseConnection &preset, const QString &password,
                      const QString &keychainError = {});
    // Choosing URL first fills the URL from the fields and clears the message; choosing Fields
    // only switches.
    void chooseInputMode(ConnectionInputMode mode);
    // "Apply": takes the URL's address, and its user name and password where it carries them;
    // a URL that does not read changes nothing but the message.
    void applyURL();
    // "Save": updates the stored preset (an empty password keeps the stored one), or adds the
    // new one and makes it the report's active connection; then hides the sheet. This is the one
    // place the editor stores a password. When the keychain refuses it the preset is saved all
    // the same and the password is kept for this session, which the connections list says.
    void save(ConnectionPresetStore &connections, const QPointer<DocumentStore> &store);

signals:
    void visibleChanged(bool visible);
    // Any property but the visibility changed.
    void changed();

private:
    void open(const DatabaseConnection &connection, const QString &password, bool isNew,
              const QString &urlText, const std::optional<QString> &keychainMessage = {});
    template <typename T> void assign(T &member, const T &value);

    bool visible_ = false;
    DatabaseConnection connection_;
    QString password_;
    bool isNew_ = true;
    ConnectionInputMode inputMode_ = ConnectionInputMode::fields;
    QString urlText_;
    std::optional<QString> urlParseMessage_;
    std::optional<QString> keychainMessage_;
    QPointer<QObject> session_;
};
