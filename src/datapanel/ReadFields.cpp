#include "datapanel/ReadFields.h"

#include "datapanel/FieldUses.h"
#include "datapanel/SQLFieldGuesser.h"
#include "document/DocumentStore.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/LiveConnection.h"
#include "engine/SidecarModel.h"

#include <QPointer>

using namespace Qt::StringLiterals;

void ReadFieldsResultState::set(const QString &message, const QStringList &staleFieldNames)
{
    message_ = message;
    staleFieldNames_ = staleFieldNames;
    failed_ = false;
    emit changed();
}

void ReadFieldsResultState::setMessage(const QString &message)
{
    message_ = message;
    failed_ = false;
    emit changed();
}

void ReadFieldsResultState::setFailure(const QString &message)
{
    message_ = message;
    staleFieldNames_.clear();
    failed_ = true;
    emit changed();
}

namespace ReadFields {
namespace {

QString counted(qsizetype count, const QString &noun)
{
    return QString::number(count) + u' ' + noun + (count == 1 ? u""_s : u"s"_s);
}

// The declared fields not among `names`, in declaration order.
QStringList missingFrom(const DocumentStore &store, const QStringList &names)
{
    QStringList missing;
    for (const ReportField &field : store.document().fields)
        if (!names.contains(field.name))
            missing.append(field.name);
    return missing;
}

// Removes the missing fields nothing uses and lists the rest as stale.
void applyStaleFields(DocumentStore &store, ReadFieldsResultState *state,
                      const QStringList &missing, QString message)
{
    const QStringList used = FieldUses::used(store.document(), missing);
    QStringList unused;
    for (const QString &name : missing)
        if (!used.contains(name))
            unused.append(name);
    if (!unused.isEmpty()) {
        const int removed = store.removeFields(unused);
        message += u" Auto-removed "_s + counted(removed, u"unused field"_s) +
                   u" no longer in the query."_s;
    }
    if (state)
        state->set(message, used);
}

} // namespace

void read(DocumentStore *store, SidecarModel *sidecar, ConnectionPresetStore *connections,
          ReadFieldsResultState *state)
{
    if (!store)
        return;
    // The keychain answers in a local event loop, in which the tab or the panel may go.
    const QPointer<DocumentStore> tab(store);
    const QPointer<ReadFieldsResultState> outcomeState(state);
    const std::optional<LiveConnection> live =
        connections ? resolveLiveConnection(*store, *connections) : std::nullopt;
    if (!tab || calledOff(live))
        return;
    if (!live || !sidecar) {
        readStatic(*tab, outcomeState);
        return;
    }
    if (outcomeState)
        outcomeState->setMessage(u"Reading live schema..."_s);
    // The store is the completion's context: a tab closed meanwhile drops the answer.
    sidecar->readFieldsLive(live, tab->document().queryString, tab,
                            [tab, outcomeState](const EngineOutcome<QList<LiveField>> &outcome) {
                                if (tab)
                                    applyLive(*tab, outcomeState, outcome);
                            });
}

void readStatic(DocumentStore &store, ReadFieldsResultState *state)
{
    SQLFieldGuesser::Result guess = SQLFieldGuesser::guessFieldNames(store.document().queryString);
    // The engine finds a field's column without regard to case: a declared "id" already reads
    // the column written ID, so the guess takes the declared spelling.
    for (QString &name : guess.fieldNames) {
        for (const ReportField &field : store.document().fields) {
            if (field.name.compare(name, Qt::CaseInsensitive) == 0) {
                name = field.name;
                break;
            }
        }
    }
    const int added = store.addFieldsIfMissing(guess.fieldNames);
    QString message =
        added > 0 ? u"Added "_s + counted(added, u"new field"_s) + u'.'
                  : u"No new fields - either already declared, or nothing recognizable in the "
                    u"query."_s;
    if (guess.note)
        message += u' ' + *guess.note;
    if (guess.fieldNames.isEmpty()) {
        if (state)
            state->set(message, {});
        return;
    }
    // A column without a name may well be one of the declared fields: nothing is removed.
    if (!guess.unnamedColumns.isEmpty()) {
        if (state)
            state->set(message + u" No field was removed, as not every column could be named."_s,
                       {});
        return;
    }
    applyStaleFields(store, state, missingFrom(store, guess.fieldNames), message);
}

void applyLive(DocumentStore &store, ReadFieldsResultState *state,
               const EngineOutcome<QList<LiveField>> &outcome)
{
    if (!outcome.ok()) {
        if (state)
            state->setFailure(u"Live Read Fields failed: "_s + *outcome.error);
        return;
    }
    QStringList columns;
    QStringList classNames;
    for (const LiveField &field : outcome.value) {
        columns.append(field.name);
        classNames.append(field.className);
    }
    // Each new field has the class the engine reads for its column.
    const int added = store.addFieldsIfMissing(columns, classNames);
    const QString message = u"Live: found "_s + counted(columns.size(), u"column"_s) +
                            u", added "_s + counted(added, u"new field"_s) + u'.';
    // A query that yields no columns says nothing about which fields are stale.
    if (columns.isEmpty()) {
        if (state)
            state->set(message, {});
        return;
    }
    applyStaleFields(store, state, missingFrom(store, columns), message);
}

void removeStale(DocumentStore &store, ReadFieldsResultState &state)
{
    const int removed = store.removeFields(state.staleFieldNames());
    state.set(u"Removed "_s + counted(removed, u"unused field"_s) + u'.', {});
}

} // namespace ReadFields
