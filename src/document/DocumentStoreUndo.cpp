#include "document/DocumentStore.h"

// Undo keeps whole documents. Their lists are implicitly shared, so a snapshot costs a few
// reference counts until the live document changes, and then only the lists on the changed path
// are copied.

void DocumentStore::pushUndo(const ReportDocument &snapshot)
{
    if (undoStack_.size() >= undoLimit)
        undoStack_.removeFirst();
    undoStack_.append(snapshot);
    redoStack_.clear();
    emit undoStacksChanged();
}

void DocumentStore::flushPendingUndoSnapshot()
{
    if (!pendingUndoSnapshot_)
        return;
    const ReportDocument before = std::move(*pendingUndoSnapshot_);
    pendingUndoSnapshot_.reset();
    pendingUndoKey_.reset();
    pendingUndoTimestamp_.reset();
    if (before != document_)
        pushUndo(before);
}

void DocumentStore::recordCoalescedEdit(const HashableKey &key, const ReportDocument &before)
{
    const qint64 now = clock_();
    // A clock that reads earlier than the run's last edit never merges into it.
    if (pendingUndoKey_ == key && pendingUndoTimestamp_ && now >= *pendingUndoTimestamp_ &&
        now - *pendingUndoTimestamp_ < coalescingWindowMs) {
        pendingUndoTimestamp_ = now;
        return;
    }
    flushPendingUndoSnapshot();
    pendingUndoSnapshot_ = before;
    pendingUndoKey_ = key;
    pendingUndoTimestamp_ = now;
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
    // A plain append: neither the limit nor the clearing of pushUndo applies here.
    to.append(document_);
    setDocument(from.takeLast());
    setIsDirty(true);
    emit undoStacksChanged();
}

void DocumentStore::takeSnapshot()
{
    flushPendingUndoSnapshot();
    pushUndo(document_);
}

void DocumentStore::changeDocument(const std::function<void(ReportDocument &)> &change)
{
    change(document_);
    emit documentChanged();
}

void DocumentStore::applyDiscreteEdit(const std::function<void()> &change)
{
    takeSnapshot();
    change();
    setIsDirty(true);
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
