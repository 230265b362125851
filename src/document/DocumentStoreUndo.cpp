#include "document/DocumentStore.h"

#include <QScopeGuard>
#include <utility>

using namespace Qt::StringLiterals;

// Undo keeps whole documents. Their lists are implicitly shared, so a snapshot costs a few
// reference counts until the live document changes. An edit then copies the lists on the changed
// path, and of an element list only its handles: each element's value stays shared with the
// snapshots unless the edit changes that element.

bool DocumentStore::canUndo() const
{
    return !undoStack_.isEmpty() || pendingUndoSnapshot_.has_value();
}

bool DocumentStore::canRedo() const
{
    // Ending a pending run that changed the report drops the redo history.
    return !redoStack_.isEmpty() && !pendingUndoSnapshot_;
}

void DocumentStore::announceUndoStateSince(std::pair<bool, bool> before)
{
    if (undoState() != before)
        emit undoStacksChanged();
}

void DocumentStore::pushUndo(const ReportDocument &snapshot)
{
    const std::pair<bool, bool> before = undoState();
    appendUndo(snapshot);
    announceUndoStateSince(before);
}

void DocumentStore::appendUndo(const ReportDocument &snapshot)
{
    if (undoStack_.size() >= undoLimit)
        undoStack_.removeFirst();
    undoStack_.append(snapshot);
    redoStack_.clear();
}

void DocumentStore::flushPendingUndoSnapshot()
{
    flushPendingUndoSnapshot(document_);
}

void DocumentStore::flushPendingUndoSnapshot(const ReportDocument &current)
{
    if (!pendingUndoSnapshot_)
        return;
    const std::pair<bool, bool> before = undoState();
    const ReportDocument snapshot = std::move(*pendingUndoSnapshot_);
    pendingUndoSnapshot_.reset();
    pendingUndoKey_.reset();
    pendingUndoTimestamp_.reset();
    // A run that cancelled out leaves no step.
    if (snapshot != current)
        appendUndo(snapshot);
    announceUndoStateSince(before);
}

bool DocumentStore::continuesRun(const HashableKey &key, qint64 now) const
{
    // A clock that reads earlier than the run's last edit never merges into it; a held key's
    // run goes on whatever the pause.
    return pendingUndoKey_ == key && pendingUndoTimestamp_ &&
           (heldKey_ == key ||
            (now >= *pendingUndoTimestamp_ && now - *pendingUndoTimestamp_ < coalescingWindowMs));
}

void DocumentStore::recordCoalescedEdit(const HashableKey &key, const ReportDocument &before)
{
    recordCoalescedEdit(key, before, clock_());
}

void DocumentStore::recordCoalescedEdit(const HashableKey &key, const ReportDocument &before,
                                        qint64 now)
{
    if (continuesRun(key, now)) {
        pendingUndoTimestamp_ = now;
        return;
    }
    // The new edit is already in the document: the run that ends is judged against the document
    // as it was before that edit, so that a run that cancelled out leaves no step.
    flushPendingUndoSnapshot(before);
    const std::pair<bool, bool> state = undoState();
    pendingUndoSnapshot_ = before;
    pendingUndoKey_ = key;
    pendingUndoTimestamp_ = now;
    announceUndoStateSince(state);
}

void DocumentStore::undo()
{
    stepThroughHistory(undoStack_, redoStack_);
}

void DocumentStore::redo()
{
    stepThroughHistory(redoStack_, undoStack_);
}

void DocumentStore::stepThroughHistory(QList<ReportDocument> &from, QList<ReportDocument> &to)
{
    flushPendingUndoSnapshot();
    if (from.isEmpty())
        return;
    const std::pair<bool, bool> before = undoState();
    // A plain append: neither the limit nor the clearing of pushUndo applies here.
    to.append(document_);
    // A band that the restored document lacks or hides takes no new elements: the active band
    // moves off it (keepActiveBandTakingElements()), the selection stays as it is.
    setDocument(from.takeLast());
    setIsDirty(true);
    announceUndoStateSince(before);
}

void DocumentStore::takeSnapshot()
{
    flushPendingUndoSnapshot();
    pushUndo(document_);
}

void DocumentStore::changeDocument(const std::function<void(ReportDocument &)> &change)
{
    change(document_);
    announceDocumentChange();
}

void DocumentStore::announceDocumentChange()
{
    if (documentBatchDepth_ > 0) {
        documentChangeHeld_ = true;
        return;
    }
    emitDocumentChanged();
}

void DocumentStore::emitDocumentChanged()
{
    keepActiveBandTakingElements();
    emit documentChanged();
    if (const int fitted = std::exchange(untouchedFitted_, 0)) {
        emit untouchedFitted(
            (fitted == 1 ? u"The edit also fitted what 1 frame, list or table it did not touch "
                           u"holds into its room"_s
                         : u"The edit also fitted what %1 frames, lists or tables it did not "
                           u"touch hold into their rooms"_s.arg(fitted)) +
            u": elements there reached past it, which the report engine refuses. Undo takes "
            u"this back with the edit."_s);
    }
}

void DocumentStore::batchDocumentChanges(const std::function<void()> &changes)
{
    ++documentBatchDepth_;
    const auto close = qScopeGuard([this] {
        if (--documentBatchDepth_ == 0 && std::exchange(documentChangeHeld_, false))
            emitDocumentChanged();
    });
    changes();
}

void DocumentStore::applyDiscreteEdit(const std::function<void()> &change)
{
    takeSnapshot();
    change();
    setIsDirty(true);
}

bool DocumentStore::applyEditIfChanged(const std::function<void()> &change)
{
    const ReportDocument before = document_;
    batchDocumentChanges(change);
    if (document_ == before)
        return false;
    flushPendingUndoSnapshot(before);
    pushUndo(before);
    setIsDirty(true);
    return true;
}

bool DocumentStore::applyCoalescedEdit(const HashableKey &key, const std::function<bool()> &change)
{
    const ReportDocument before = document_;
    if (!change())
        return false;
    setIsDirty(true);
    recordCoalescedEdit(key, before);
    return true;
}
