#include "app/SheetHistory.h"

#include "document/DocumentStore.h"
#include "widgets/MeasurementField.h"
#include "widgets/SheetModality.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QLineEdit>

SheetHistory::SheetHistory(WorkspaceModel &workspace, QObject *parent)
    : QObject(parent), workspace_(workspace)
{
    // Which field has the keys decides what Undo takes back first.
    connect(qApp, &QApplication::focusChanged, this, &SheetHistory::followFocus);
}

MeasurementField *SheetHistory::sheetField()
{
    // The sheet keeps its focus field while a click on the window under it makes that window
    // the active one for a moment.
    QWidget *sheet = SheetModality::shownSheet();
    QWidget *focus = sheet ? sheet->focusWidget() : nullptr;
    auto *field = focus ? qobject_cast<MeasurementField *>(focus->parentWidget()) : nullptr;
    return field && field->lineEdit() == focus ? field : nullptr;
}

MeasurementField *SheetHistory::typingField()
{
    MeasurementField *field = sheetField();
    return field && field->holdsTyping() ? field : nullptr;
}

void SheetHistory::followFocus()
{
    MeasurementField *field = sheetField();
    if (field == followed_)
        return;
    disconnect(typingConnection_);
    followed_ = field;
    if (field)
        typingConnection_ =
            connect(field, &MeasurementField::typingChanged, this, &SheetHistory::changed);
    emit changed();
}

bool SheetHistory::canBringBack() const
{
    if (!takenBack_ || !takenBack_->field || takenBack_->store != workspace_.activeStore())
        return false;
    const TakenBack &taken = *takenBack_;
    const DocumentStore *store = taken.store;
    return SheetModality::isShown(taken.field->window()) && !taken.field->holdsTyping() &&
           taken.field->lineEdit()->text() == taken.shown &&
           store->undoStack().size() == taken.undoDepth &&
           store->redoStack().size() == taken.redoDepth && store->document() == taken.document;
}

bool SheetHistory::canUndo() const
{
    return typingField() || workspace_.activeStore()->canUndo();
}

bool SheetHistory::canRedo() const
{
    // Typing is the last step done: nothing after it waits to be redone.
    return !typingField() && (canBringBack() || workspace_.activeStore()->canRedo());
}

void SheetHistory::undo()
{
    DocumentStore *store = workspace_.activeStore();
    if (MeasurementField *field = typingField()) {
        // A run of edits of the report ends here, so that the steps counted stay as they are.
        store->flushPendingUndoSnapshot();
        const QString typing = field->lineEdit()->text();
        field->takeBackTyping();
        takenBack_ = TakenBack{field,
                               typing,
                               field->lineEdit()->text(),
                               store,
                               store->document(),
                               store->undoStack().size(),
                               store->redoStack().size()};
        disconnect(documentConnection_);
        documentConnection_ =
            connect(store, &DocumentStore::documentChanged, this, &SheetHistory::changed);
        emit changed();
        return;
    }
    store->undo();
}

void SheetHistory::redo()
{
    if (typingField())
        return;
    if (canBringBack()) {
        MeasurementField *field = takenBack_->field;
        const QString typing = takenBack_->typing;
        takenBack_.reset();
        disconnect(documentConnection_);
        field->lineEdit()->setFocus();
        field->bringBackTyping(typing);
        return;
    }
    workspace_.activeStore()->redo();
}
