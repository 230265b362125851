#include "app/WindowHistory.h"

#include "document/DocumentStore.h"
#include "widgets/HeldTyping.h"
#include "widgets/SheetModality.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

WindowHistory::WindowHistory(WorkspaceModel &workspace, QObject *parent)
    : QObject(parent), workspace_(workspace)
{
    // Which field has the keys decides what Undo takes back first.
    connect(qApp, &QApplication::focusChanged, this, &WindowHistory::followFocus);
}

void WindowHistory::setWindow(QWidget *window)
{
    if (window_)
        window_->removeEventFilter(this);
    window_ = window;
    blocked_ = false;
    if (window)
        window->installEventFilter(this);
    followFocus();
    emit changed();
}

bool WindowHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ &&
        (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked)) {
        blocked_ = event->type() == QEvent::WindowBlocked;
        emit changed();
    }
    return QObject::eventFilter(watched, event);
}

QWidget *WindowHistory::keysWindow() const
{
    // A sheet keeps its focus field while a click on the window under it makes that window the
    // active one for a moment.
    if (QWidget *sheet = SheetModality::shownSheet())
        return sheet;
    return window_;
}

HeldTyping *WindowHistory::focusField() const
{
    const QWidget *window = keysWindow();
    return window ? HeldTyping::of(window->focusWidget()) : nullptr;
}

HeldTyping *WindowHistory::typingField() const
{
    HeldTyping *field = focusField();
    return field && field->holds() ? field : nullptr;
}

void WindowHistory::followFocus()
{
    HeldTyping *field = focusField();
    if (field == followed_)
        return;
    disconnect(typingConnection_);
    followed_ = field;
    if (field)
        typingConnection_ = connect(field, &HeldTyping::changed, this, &WindowHistory::changed);
    emit changed();
}

bool WindowHistory::canBringBack() const
{
    if (!takenBack_ || !takenBack_->field || takenBack_->store != workspace_.activeStore())
        return false;
    const TakenBack &taken = *takenBack_;
    const DocumentStore *store = taken.store;
    const QWidget *field = taken.field->field();
    return field->window() == keysWindow() && field->isVisible() && !taken.field->holds() &&
           taken.field->lineEdit()->text() == taken.shown &&
           store->undoStack().size() == taken.undoDepth &&
           store->redoStack().size() == taken.redoDepth && store->document() == taken.document;
}

bool WindowHistory::canUndo() const
{
    return !blocked_ && (typingField() || workspace_.activeStore()->canUndo());
}

bool WindowHistory::canRedo() const
{
    // Typing is the last step done: nothing after it waits to be redone.
    return !blocked_ && !typingField() && (canBringBack() || workspace_.activeStore()->canRedo());
}

void WindowHistory::undo()
{
    if (blocked_)
        return;
    DocumentStore *store = workspace_.activeStore();
    if (HeldTyping *field = typingField()) {
        // A run of edits of the report ends here, so that the steps counted stay as they are.
        store->flushPendingUndoSnapshot();
        const QString typing = field->lineEdit()->text();
        field->takeBack();
        takenBack_ = TakenBack{field,
                               typing,
                               field->lineEdit()->text(),
                               store,
                               store->document(),
                               store->undoStack().size(),
                               store->redoStack().size()};
        disconnect(documentConnection_);
        documentConnection_ =
            connect(store, &DocumentStore::documentChanged, this, &WindowHistory::changed);
        emit changed();
        return;
    }
    store->undo();
}

void WindowHistory::redo()
{
    if (blocked_ || typingField())
        return;
    if (canBringBack()) {
        HeldTyping *field = takenBack_->field;
        const QString typing = takenBack_->typing;
        takenBack_.reset();
        disconnect(documentConnection_);
        field->field()->setFocus();
        field->bringBack(typing);
        return;
    }
    workspace_.activeStore()->redo();
}
