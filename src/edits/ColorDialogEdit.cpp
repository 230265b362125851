#include "edits/ColorDialogEdit.h"

ColorDialogEdit::ColorDialogEdit(const ElementWriter &writer, Restore restore)
    : writer_(writer), restore_(std::move(restore))
{
}

ColorDialogEdit::~ColorDialogEdit()
{
    letGo();
}

void ColorDialogEdit::opened()
{
    DocumentStore *store = writer_.store();
    const std::optional<ReportElement> element = writer_.current();
    if (!store || !element)
        return;
    // The dialog's picks join the element's run, held open while the dialog is.
    opening_ = Opening{*element, store->document(), store->isDirty(), store->undoStack()};
    store->holdContinuousEdit(writer_.elementID());
}

void ColorDialogEdit::accepted()
{
    letGo();
}

void ColorDialogEdit::cancelled()
{
    if (!opening_)
        return;
    const Opening opening = *opening_;
    writer_.update([&](ReportElement &e) { restore_(e, opening.element); });
    DocumentStore *store = writer_.store();
    // Nothing else changed meanwhile: the report is as it was, so is its history and its mark. A
    // run the picks joined ends here, as the step of what came before the dialog, if anything.
    if (store && store->document() == opening.document && store->undoStack() == opening.undoStack) {
        store->flushPendingUndoSnapshot();
        store->setIsDirty(opening.wasDirty);
    }
    letGo();
}

void ColorDialogEdit::letGo()
{
    opening_.reset();
    DocumentStore *store = writer_.store();
    if (store && store->heldContinuousEdit() == std::optional<HashableKey>(writer_.elementID()))
        store->holdContinuousEdit(std::nullopt);
}
