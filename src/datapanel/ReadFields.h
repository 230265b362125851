#pragma once

#include "engine/SidecarModelTypes.h"

#include <QObject>
#include <QStringList>
#include <optional>

class ConnectionPresetStore;
class DocumentStore;
class SidecarModel;

// The outcome of the last Read Fields or Remove while the data panel is open: its message, and
// the fields the query no longer yields that the report still uses.
class ReadFieldsResultState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const std::optional<QString> &message() const { return message_; }
    const QStringList &staleFieldNames() const { return staleFieldNames_; }
    // Whether the message tells of a read that failed.
    bool failed() const { return failed_; }
    void set(const QString &message, const QStringList &staleFieldNames);
    // Only the message: a live read under way leaves the stale list on show.
    void setMessage(const QString &message);
    // A read that failed: its message, and no stale list.
    void setFailure(const QString &message);

signals:
    void changed();

private:
    std::optional<QString> message_;
    QStringList staleFieldNames_;
    bool failed_ = false;
};

// Read Fields: declares the fields a query yields and drops the declared ones it no longer
// yields unless the report still uses them (FieldUses), which it lists as stale instead.
namespace ReadFields {

// Live through the engine when the report's active connection preset exists (its keychain
// password, or none), else by guessing from the SELECT list. A live answer reaches the store
// as long as the store exists and the state only while the state exists: a panel closed
// meanwhile still gets its fields, not its message.
void read(DocumentStore *store, SidecarModel *sidecar, ConnectionPresetStore *connections,
          ReadFieldsResultState *state);
void readStatic(DocumentStore &store, ReadFieldsResultState *state);
void applyLive(DocumentStore &store, ReadFieldsResultState *state,
               const EngineOutcome<QList<LiveField>> &outcome);
// Removes the stale fields; the report's references to them stay as they are.
void removeStale(DocumentStore &store, ReadFieldsResultState &state);

} // namespace ReadFields
